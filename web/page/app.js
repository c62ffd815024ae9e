// The web till's page: open orders, an order with the menu as buttons that
// never move under a finger, payment that shows what it charges, receipts,
// the day's summary; live through the event stream.
import { api, ApiError, whenApprovalNeeded, whenRetrying } from './api.js';
import { confirmed, managerApproval, tableToMoveTo } from './dialogs.js';
import { whyGone } from './elsewhere.js';
import { byTable, centsOf, counted, folded, moneyIn, orderTitle, timeOf } from './format.js';
import { kitchenName, noteTaken, renderKitchenBar, renderUnreachable } from './kitchen-order.js';
import { receiptPaper } from './receipt.js';
import { recentStaffButtons, rememberStaff } from './staff.js';
import { renderSummary } from './summary.js';
import { showMenu } from './menu.js';
import { renderToPay } from './to-pay.js';

const $ = (id) => document.getElementById(id);
const state = {
  restaurant: { currency: '$' },
  menu: null,
  orders: [],
  current: null,
  split: new Set(),
  events: null,
  // Orders this device is paying, moving or emptying: their going is no news.
  own: new Set(),
  // What the waiter was doing when the session ended, done after sign-in.
  pending: null,
  receipt: null,
};
let money = moneyIn('$');

function say(text, offline = false) {
  $('status').textContent = text;
  $('status').classList.toggle('offline', offline);
}

function show(...ids) {
  for (const id of ['sign-in', 'orders', 'order', 'summary', 'receipt']) {
    $(id).hidden = !ids.includes(id);
  }
  $('views').hidden = ids.includes('sign-in');
  document.body.classList.toggle('order-open', ids.includes('order'));
}

function button(text, label, action) {
  const made = document.createElement('button');
  made.type = 'button';
  made.textContent = text;
  if (label) made.setAttribute('aria-label', label);
  made.addEventListener('click', () => run(action));
  return made;
}

async function run(action) {
  try {
    await action();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) {
      state.pending = action;
      askToSignIn('Signed out: sign in again.');
    } else {
      say(error.message);
      // An item another device moved, paid or removed: show the order as it is.
      if (error instanceof ApiError && error.status === 409) await refresh();
    }
  }
}

const openOrder = (name) => state.orders.find((o) => folded(o.order) === folded(name));

function renderOrders() {
  const list = $('order-list');
  list.replaceChildren();
  for (const order of byTable(state.orders)) {
    const item = document.createElement('li');
    item.append(button(`${orderTitle(order.order)}: ${counted(order.items.length, 'item')}, ${money(order.total_cents)}`,
                       `Open ${orderTitle(order.order)}`, () => openOrderView(order.order)));
    list.append(item);
  }
  if (state.orders.length === 0) {
    const none = document.createElement('li');
    none.textContent = 'No order is open.';
    list.append(none);
  }
}

function itemRow(order, item) {
  const row = document.createElement('li');
  const name = document.createElement('span');
  name.className = 'name';
  name.append(...kitchenName(item));
  const price = document.createElement('span');
  price.className = 'amount';
  price.textContent = money(item.price_cents);
  const place = `${item.kind} ${item.position}`;
  const actions = document.createElement('span');
  actions.className = 'actions';
  actions.append(
    button('Remove', `Remove ${item.name} (${place})`, () => removeItem(order, item)),
    button('Move', `Move ${item.name} (${place})`, () => moveItem(order, item)),
    splitBox(item, place));
  row.append(name, price, actions);
  return row;
}

function renderOrder() {
  if (!state.current) return;
  const order = openOrder(state.current) ?? { order: state.current, items: [], total_cents: 0 };
  $('order-title').textContent = orderTitle(order.order);
  $('order-items').replaceChildren(...order.items.map((item) => itemRow(order, item)));
  for (const id of [...state.split]) {
    if (!order.items.some((item) => item.id === id)) state.split.delete(id);
  }
  $('order-total').textContent = `${counted(order.items.length, 'item')}, total ${money(order.total_cents)}`;
  renderToPay(order, state.split, money);
  renderKitchenBar(order, button, { send: () => api.send(order.order).then(refresh),
                                    fire: (course) => api.fire(order.order, course).then(refresh) });
}

// The items ticked for a split are kept by id: an item keeps its id while
// others come and go around it.
function splitBox(item, place) {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.checked = state.split.has(item.id);
  box.addEventListener('change', () => {
    if (box.checked) state.split.add(item.id); else state.split.delete(item.id);
    renderOrder();
  });
  label.append(box, 'Split');
  label.setAttribute('aria-label', `Split ${item.name} (${place})`);
  return label;
}

// Runs an action that may empty the order: its going is then no news.
async function emptying(order, empties, action) {
  const key = folded(order.order);
  if (empties) state.own.add(key);
  try {
    return await action();
  } catch (error) {
    state.own.delete(key);
    throw error;
  }
}

async function removeItem(order, item) {
  const sure = await confirmed({ title: `Remove ${item.name}?`, yes: 'Remove',
                                 text: `${item.name}, ${money(item.price_cents)}, leaves ${orderTitle(order.order)}.` });
  if (!sure) return;
  await emptying(order, order.items.length === 1, () => api.remove(order.order, item.id));
  await refresh();
}

async function moveItem(order, item) {
  const tables = byTable(state.orders).map((o) => o.order)
    .filter((label) => label !== 'counter' && folded(label) !== folded(order.order));
  const to = await tableToMoveTo(item.name, tables);
  if (!to) return;
  await emptying(order, order.items.length === 1, () => api.move(order.order, [item.id], to));
  await refresh();
}

// A number chosen from a menu the till no longer sells from is refused with
// the menu as it is now: the page shows it, and the waiter chooses again.
async function adding(kind, item) {
  try {
    await api.add(state.current, kind, item.number, noteTaken(), state.menu.version);
  } catch (error) {
    if (error.answer?.menu) {
      state.menu = error.answer.menu;
      renderMenu();
    }
    throw error;
  }
  await refresh();
}

function renderMenu() {
  showMenu(state.menu, money, (kind, item) => button(
    item.name, item.sold_out ? `${item.name}, sold out` : `Add ${item.name}`, () => adding(kind, item)));
}

function openOrderView(name) {
  state.current = name;
  state.split.clear();
  $('notice').textContent = '';
  $('pay').reset();
  show('orders', 'order');
  renderOrder();
}

function paymentOf(form, order) {
  const payment = { method: form.method.value };
  if (payment.method === 'cash' && form.given.value.trim() !== '') {
    const given = centsOf(form.given.value);
    if (given === null) throw new Error(`'${form.given.value}' is not an amount: type it as 20 or 20.50`);
    payment.given_cents = given;
  }
  const ticked = order.items.filter((item) => state.split.has(item.id)).map((item) => item.id);
  if (ticked.length > 0 && ticked.length < order.items.length) payment.items = ticked;
  // No tap charges a total the waiter never saw.
  if (!payment.items) payment.expected_total_cents = order.due_cents;
  return payment;
}

async function pay(event) {
  event.preventDefault();
  const order = openOrder(state.current);
  if (!order) throw new Error(`${orderTitle(state.current)} holds nothing to pay`);
  const payment = paymentOf(event.target, order);
  const paid = await emptying(order, !payment.items, () => api.pay(order.order, payment));
  state.split.clear();
  event.target.reset();
  $('paid').textContent = `Customer ${paid.customer} paid ${money(paid.total_cents)}` +
    (payment.given_cents !== undefined ? `. Change: ${money(paid.change_cents)}` : '');
  if (!payment.items) state.current = null;
  showReceipt(paid.receipt);
  await refresh();
}

function showReceipt(receipt) {
  state.receipt = receipt;
  $('receipt-paper').replaceChildren(...receiptPaper(state.restaurant, receipt, money));
  $('void-sale').hidden = Boolean(receipt.void);
  show(...(state.current ? ['orders', 'order', 'receipt'] : ['orders', 'receipt']));
}

async function voidShownSale() {
  const receipt = state.receipt;
  const reason = await confirmed({
    title: `Void customer ${receipt.customer}'s sale?`, yes: 'Void the sale', reason: true,
    text: `${money(receipt.total_cents)} leaves the day's revenue. The sale stays in the journal, marked void.` });
  if (!reason) return;
  await api.voidSale(receipt.sale_id, reason);
  $('paid').textContent = `Customer ${receipt.customer}'s sale is void.`;
  showReceipt(await api.sale(receipt.sale_id));
}

async function showSummary() {
  const days = await api.days();
  const summary = days.length ? await api.summary(days[days.length - 1].day) : null;
  renderSummary(summary, money);
  $('close-day').dataset.day = summary?.day ?? '';
  show('summary');
}

async function closeDay() {
  const day = $('close-day').dataset.day;
  const sure = await confirmed({
    title: `Close day ${day}?`, yes: 'Close the day',
    text: 'The day\'s report is printed and the next day opens. A closed day cannot take sales or voids.' });
  if (!sure) return;
  const closed = await api.closeDay();
  say(closed.report.join(' '));
  await showSummary();
}

async function noticeGone(previous) {
  if (!state.current || openOrder(state.current)) return;
  const key = folded(state.current);
  const before = previous.find((o) => folded(o.order) === key);
  if (!before || before.items.length === 0) return;  // a table opened here, not rung yet
  state.current = null;
  const ours = state.own.delete(key);
  show(...($('receipt').hidden ? ['orders'] : ['orders', 'receipt']));
  if (!ours) $('notice').textContent = await whyGone(before, state.orders, money);
}

// Each change's event starts a refresh, and their answers may come back in
// any order: one asked before another already shown would undo it.
let refreshesAsked = 0;
let refreshShown = 0;

async function refresh() {
  const asked = ++refreshesAsked;
  const [answer, menu] = await Promise.all([api.orders(), api.menu()]);
  if (asked < refreshShown) return;
  refreshShown = asked;
  // The owner may import a menu or mark a dish sold out while the till serves.
  if (JSON.stringify(menu) !== JSON.stringify(state.menu)) {
    state.menu = menu;
    renderMenu();
  }
  const previous = state.orders;
  state.orders = answer.orders;
  renderUnreachable(answer, timeOf);
  for (const key of [...state.own]) {
    if (!openOrder(key)) state.own.delete(key);
  }
  await noticeGone(previous);
  renderOrders();
  renderOrder();
}

function listen() {
  state.events?.close();
  const events = new EventSource('/api/events');
  state.events = events;
  events.addEventListener('change', () => run(refresh));
  events.addEventListener('open', () => {
    say('Connected.');
    run(refresh);
  });
  events.addEventListener('error', () => {
    say('The till cannot be reached; retrying…', true);
    if (events.readyState === EventSource.CLOSED) setTimeout(probe, 1000);
  });
}

function askToSignIn(words) {
  state.events?.close();
  state.events = null;
  $('recent-staff').replaceChildren(...recentStaffButtons($('sign-in-form')));
  show('sign-in');
  say(words);
}

// Once the stream has given up, the till is asked until it answers. A till
// that restarted keeps its sessions; one that ended (its time is up, or its
// member of staff was removed) asks to sign in again.
async function probe() {
  try {
    await api.orders();
    listen();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) {
      askToSignIn('Signed out: sign in again.');
    } else {
      setTimeout(probe, 1000);
    }
  }
}

async function start() {
  try {
    state.restaurant = await api.settings();
    state.menu = await api.menu();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) {
      askToSignIn('Sign in to go on.');
      return;
    }
    say('The till cannot be reached; retrying…', true);
    setTimeout(() => run(start), 2000);
    return;
  }
  money = moneyIn(state.restaurant.currency);
  renderMenu();
  show(...(state.current ? ['orders', 'order'] : ['orders']));
  await refresh();
  listen();
}

async function signIn(form) {
  try {
    await api.signIn(form.staff.value.trim(), form.pin.value);
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) throw new Error('Wrong name or PIN.');
    throw error;
  }
  rememberStaff(form.staff.value.trim());
  form.pin.value = '';
  await start();
  const pending = state.pending;
  state.pending = null;
  if (pending) await run(pending);
}

whenApprovalNeeded(managerApproval);
whenRetrying((error) => (error ? say('The till cannot be reached; trying again…', true)
                                 : say('Connected.')));
$('sign-in-form').addEventListener('submit', (event) => {
  event.preventDefault();
  run(() => signIn(event.target));
});
$('open-table').addEventListener('submit', (event) => {
  event.preventDefault();
  openOrderView(event.target.label.value);
  event.target.reset();
});
$('pay').addEventListener('submit', (event) => run(() => pay(event)));
$('pay').addEventListener('input', () => renderOrder());
$('show-orders').addEventListener('click', () => run(async () => {
  state.current = null;
  show('orders');
  await refresh();
}));
$('show-summary').addEventListener('click', () => run(showSummary));
$('sign-out').addEventListener('click', () => run(async () => {
  await api.signOut();
  askToSignIn('Signed out.');
}));
$('close-day').addEventListener('click', () => run(closeDay));
$('print-receipt').addEventListener('click', () => window.print());
$('void-sale').addEventListener('click', () => run(voidShownSale));

run(start);
