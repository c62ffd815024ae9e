// The web till's page: open orders, an order with the menu as buttons that
// never move under a finger, payment that shows what it charges, receipts,
// the day's summary; live through the event stream.
import { api, ApiError, whenRetrying } from './api.js';
import { confirmed, tableToMoveTo } from './dialogs.js';
import { byTable, centsOf, counted, folded, methodName, moneyIn, orderTitle } from './format.js';
import { receiptPaper } from './receipt.js';

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
  name.textContent = item.name;
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
  renderToPay(order);
}

// What Pay will charge: the ticked items of a split, else the whole order,
// and the change from the cash given.
function renderToPay(order) {
  const ticked = order.items.filter((item) => state.split.has(item.id));
  const splitting = ticked.length > 0 && ticked.length < order.items.length;
  const due = splitting ? ticked.reduce((sum, item) => sum + item.price_cents, 0) : order.total_cents;
  $('to-pay').textContent = splitting
    ? `Split: ${ticked.length} of ${counted(order.items.length, 'item')}, to pay ${money(due)}`
    : `To pay: ${money(due)}`;
  const form = $('pay');
  const given = form.method.value === 'cash' ? centsOf(form.given.value) : null;
  $('change').textContent = given === null ? ''
    : given < due ? `The cash given is ${money(due - given)} short`
      : `Given ${money(given)}, change ${money(given - due)}`;
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

function renderMenu() {
  const menu = $('menu');
  menu.replaceChildren();
  for (const [kind, heading] of [['dish', 'Main dishes'], ['snack', 'Snacks'], ['drink', 'Drinks']]) {
    const title = document.createElement('h3');
    title.textContent = heading;
    menu.append(title);
    for (const item of state.menu[kind]) {
      const add = button(item.name, `Add ${item.name}`,
                         () => api.add(state.current, kind, item.number).then(refresh));
      const price = document.createElement('span');
      price.className = 'price';
      price.textContent = money(item.price_cents);
      add.append(price);
      menu.append(add);
    }
  }
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

function hourChart(hours) {
  const width = 320;
  const height = 120;
  const most = Math.max(1, ...hours.map((h) => h.revenue_cents));
  const band = width / Math.max(1, hours.length);
  const svg = document.createElementNS('http://www.w3.org/2000/svg', 'svg');
  svg.setAttribute('viewBox', `0 0 ${width} ${height + 14}`);
  svg.setAttribute('role', 'img');
  svg.setAttribute('aria-label', 'Revenue by hour');
  hours.forEach((hour, at) => {
    const bar = document.createElementNS(svg.namespaceURI, 'rect');
    const tall = (hour.revenue_cents / most) * height;
    bar.setAttribute('x', at * band + 2);
    bar.setAttribute('y', height - tall);
    bar.setAttribute('width', band - 4);
    bar.setAttribute('height', tall);
    const label = document.createElementNS(svg.namespaceURI, 'text');
    label.setAttribute('x', at * band + 2);
    label.setAttribute('y', height + 12);
    label.textContent = hour.hour.slice(11, 16);
    svg.append(bar, label);
  });
  return svg;
}

function summaryFigures(summary) {
  const figures = [];
  const add = (term, value) => figures.push([term, value]);
  add('Day', summary.day);
  add('Customers served', summary.customers);
  add('Revenue', money(summary.revenue_cents));
  if (summary.payments.length === 0) add('Payments', 'None yet');
  for (const payment of summary.payments) {
    add(`Paid by ${methodName(payment.method).toLowerCase()}`, `${counted(payment.sales, 'sale')}, ${money(payment.amount_cents)}`);
  }
  add('Cash expected in the drawer', money(summary.cash_expected_cents));
  return figures;
}

async function showSummary() {
  const days = await api.days();
  const summary = days.length ? await api.summary(days[days.length - 1].day) : null;
  const list = $('summary-figures');
  list.replaceChildren();
  const figures = summary ? summaryFigures(summary) : [['Day', 'Not opened yet']];
  for (const [term, value] of figures) {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = value;
    list.append(dt, dd);
  }
  $('hour-chart').replaceChildren(...(summary?.hours.length ? [hourChart(summary.hours)] : []));
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

// Says in words why the order on screen went away on another device:
// moved (its items are on another order), paid (its sale has a receipt) or
// cleared.
async function explainGone(before) {
  const title = orderTitle(before.order);
  const ids = new Set(before.items.map((item) => item.id));
  const movedTo = state.orders.find((o) => o.items.some((item) => ids.has(item.id)));
  let words = `${title} was cleared on another device.`;
  if (movedTo) {
    words = `${title} was moved to ${orderTitle(movedTo.order).toLowerCase()} on another device.`;
  } else {
    try {
      const sale = await api.sale(before.sale_id);
      if (!sale.void) words = `${title} was paid on another device: customer ${sale.customer}, ${money(sale.total_cents)}`;
    } catch (error) {
      if (!(error instanceof ApiError) || error.status !== 404) throw error;
    }
  }
  $('notice').textContent = words;
}

async function noticeGone(previous) {
  if (!state.current || openOrder(state.current)) return;
  const key = folded(state.current);
  const before = previous.find((o) => folded(o.order) === key);
  if (!before || before.items.length === 0) return;  // a table opened here, not rung yet
  state.current = null;
  const ours = state.own.delete(key);
  show(...($('receipt').hidden ? ['orders'] : ['orders', 'receipt']));
  if (!ours) await explainGone(before);
}

// Each change's event starts a refresh, and their answers may come back in
// any order: one asked before another already shown would undo it.
let refreshesAsked = 0;
let refreshShown = 0;

async function refresh() {
  const asked = ++refreshesAsked;
  const answer = await api.orders();
  if (asked < refreshShown) return;
  refreshShown = asked;
  const previous = state.orders;
  state.orders = answer.orders;
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
  showRecentStaff();
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

// The names last signed in on this device, the latest first, kept in the
// browser alone: the till serves no list of its staff before sign-in.
const recentKey = 'restaurant.recent-staff';
function recentStaff() {
  try {
    const names = JSON.parse(localStorage.getItem(recentKey) ?? '[]');
    return Array.isArray(names) ? names.filter((name) => typeof name === 'string') : [];
  } catch {
    return [];
  }
}

function rememberStaff(name) {
  const names = [name, ...recentStaff().filter((other) => other !== name)].slice(0, 6);
  localStorage.setItem(recentKey, JSON.stringify(names));
}

function showRecentStaff() {
  const form = $('sign-in-form');
  $('recent-staff').replaceChildren(...recentStaff().map((name) => {
    const chosen = document.createElement('button');
    chosen.type = 'button';
    chosen.textContent = name;
    chosen.addEventListener('click', () => {
      form.staff.value = name;
      form.pin.focus();
    });
    return chosen;
  }));
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
