// The kitchen's part of the waiter's order: a note for the next item, Send,
// Fire for each course held, each item's state as the kitchen left it, and
// the printers that are offline, and the head office when it cannot be reached.
import { counted } from './format.js';

const $ = (id) => document.getElementById(id);

// Returns the note typed for the next item, and clears it.
export function noteTaken() {
  const note = $('note').value.trim();
  $('note').value = '';
  return note;
}

// The item's name with its note, and a mark of where the kitchen is with it.
export function kitchenName(item) {
  const shown = [item.note ? `${item.name} (${item.note})` : item.name];
  const state = item.ready ? 'ready' : item.held ? 'held' : item.sent ? 'sent' : '';
  if (state) {
    const mark = document.createElement('span');
    mark.className = `mark ${state}`;
    mark.textContent = state;
    shown.push(mark);
  }
  return shown;
}

// Send, while items wait to be sent; Fire course N for each course held.
// `makeButton(text, label, action)` makes a button that runs the action.
export function renderKitchenBar(order, makeButton, { send, fire }) {
  const waiting = order.items.filter((item) => !item.sent).length;
  // Send is always there, so that the bar keeps its place as items come.
  const sending = makeButton(waiting > 0 ? `Send ${counted(waiting, 'item')}` : 'All sent', null, send);
  sending.disabled = waiting === 0;
  const buttons = [sending];
  const courses = [...new Set(order.items.filter((item) => item.held).map((item) => item.course))];
  for (const course of courses.sort()) {
    buttons.push(makeButton(`Fire course ${course}`, null, () => fire(course)));
  }
  $('kitchen-actions').replaceChildren(...buttons);
}

// What the till cannot reach, from its list of orders: the printers offline
// and the head office. Sales go on meanwhile: the devices only say so.
export function renderUnreachable(orders, timeOf) {
  $('printers').textContent = (orders.printers_offline ?? [])
    .map((printer) => `${printer.station} printer offline since ${timeOf(printer.offline_since)}`)
    .join('; ');
  const since = orders.head_office_unreachable_since;
  $('head-office').textContent = since ? `head office unreachable since ${timeOf(since)}` : '';
}
