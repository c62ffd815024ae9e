// What Pay will charge: the ticked items of a split, else the whole order,
// and the change from the cash given.
import { centsOf, counted } from './format.js';

const $ = (id) => document.getElementById(id);

export function renderToPay(order, split, money) {
  const ticked = order.items.filter((item) => split.has(item.id));
  const splitting = ticked.length > 0 && ticked.length < order.items.length;
  const due = splitting ? ticked.reduce((sum, item) => sum + item.price_cents, 0) : order.due_cents;
  $('to-pay').textContent = splitting
    ? `Split: ${ticked.length} of ${counted(order.items.length, 'item')}, to pay ${money(due)}`
    : `To pay: ${money(due)}`;
  const form = $('pay');
  const given = form.method.value === 'cash' ? centsOf(form.given.value) : null;
  $('change').textContent = given === null ? ''
    : given < due ? `The cash given is ${money(due - given)} short`
      : `Given ${money(given)}, change ${money(given - due)}`;
}
