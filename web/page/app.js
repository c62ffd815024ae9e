// The web till's page: open orders, an order with the menu as buttons,
// payment with change, the day's summary; live through the event stream.
import { api, ApiError } from './api.js';

const $ = (id) => document.getElementById(id);
const state = { menu: null, orders: [], current: null, split: new Set(), events: null };

const money = (cents) => `${(cents / 100).toFixed(2)}`;
const orderTitle = (name) => (name === 'counter' ? 'Counter' : `Table ${name}`);

function say(text, offline = false) {
  $('status').textContent = text;
  $('status').classList.toggle('offline', offline);
}

function show(...ids) {
  for (const id of ['sign-in', 'orders', 'order', 'summary', 'receipt']) {
    $(id).hidden = !ids.includes(id);
  }
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
      show('sign-in');
      say('Sign in to go on.');
    } else {
      say(error.message);
      // An item another device moved, paid or removed: show the order as it is.
      if (error instanceof ApiError && error.status === 409) await refresh();
    }
  }
}

function renderOrders() {
  const list = $('order-list');
  list.replaceChildren();
  for (const order of state.orders) {
    const item = document.createElement('li');
    item.append(button(`${orderTitle(order.order)}: ${order.items.length} items, ${money(order.total_cents)}`,
                       `Open ${orderTitle(order.order)}`, () => openOrder(order.order)));
    list.append(item);
  }
  if (state.orders.length === 0) {
    const none = document.createElement('li');
    none.textContent = 'No order is open.';
    list.append(none);
  }
}

function renderOrder() {
  if (!state.current) return;
  const order = state.orders.find((o) => o.order.toLowerCase() === state.current.toLowerCase())
    ?? { order: state.current, items: [], total_cents: 0 };
  $('order-title').textContent = orderTitle(order.order);
  const rows = $('order-items');
  rows.replaceChildren();
  for (const item of order.items) {
    const row = document.createElement('tr');
    const name = document.createElement('td');
    name.textContent = item.name;
    const price = document.createElement('td');
    price.className = 'amount';
    price.textContent = money(item.price_cents);
    const actions = document.createElement('td');
    const place = `${item.kind} ${item.position}`;
    actions.append(
      button('Remove', `Remove ${item.name} (${place})`, () => api.remove(order.order, item.id).then(refresh)),
      button('Move', `Move ${item.name} (${place})`, () => moveItem(order.order, item)),
      splitBox(item, place));
    row.append(name, price, actions);
    rows.append(row);
  }
  $('order-total').textContent = money(order.total_cents);
}

// The items ticked for a split are kept by id: an item keeps its id while
// others come and go around it.
function splitBox(item, place) {
  const label = document.createElement('label');
  const box = document.createElement('input');
  box.type = 'checkbox';
  box.checked = state.split.has(item.id);
  box.addEventListener('change', () => (box.checked ? state.split.add(item.id) : state.split.delete(item.id)));
  label.append(box, `Split ${item.name}`);
  label.setAttribute('aria-label', `Split ${item.name} (${place})`);
  return label;
}

async function moveItem(order, item) {
  const to = window.prompt(`Move ${item.name} to which table?`);
  if (!to) return;
  await api.move(order, [item.id], to);
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
      menu.append(button(`${item.name} ${money(item.price_cents)}`, `Add ${item.name}`,
                         () => api.add(state.current, kind, item.number).then(refresh)));
    }
  }
}

async function openOrder(name) {
  state.current = name;
  state.split.clear();
  $('paid').textContent = '';
  show('orders', 'order');
  renderOrder();
}

async function pay(event) {
  event.preventDefault();
  const form = event.target;
  const payment = { method: form.method.value };
  if (payment.method === 'cash' && form.given.value.trim() !== '') {
    payment.given_cents = Math.round(Number(form.given.value.replace(',', '.')) * 100);
  }
  if (state.split.size > 0) payment.items = [...state.split];
  const paid = await api.pay(state.current, payment);
  state.split.clear();
  form.given.value = '';
  $('paid').textContent = `Customer ${paid.customer} paid ${money(paid.total_cents)}` +
    (payment.given_cents ? `. Change: ${money(paid.change_cents)}` : '');
  showReceipt(paid.receipt);
  await refresh();
}

// The receipt as it prints on 80 mm paper: one line per item, the total,
// the VAT per rate and the payment.
function showReceipt(receipt) {
  const line = (label, cents) => `${label.padEnd(24)}${money(cents).padStart(10)}`;
  const lines = [`Receipt: day ${receipt.day}, customer ${receipt.customer}`,
                 `Sale ${receipt.sale_id}`, `Paid ${receipt.paid_at}`, ''];
  for (const item of receipt.items) lines.push(line(item.name, item.price_cents));
  lines.push(line('Total', receipt.total_cents));
  for (const vat of receipt.vat.filter((v) => v.rate > 0)) {
    lines.push(line(`VAT ${vat.rate / 100} %`, vat.vat_cents));
  }
  lines.push(`Paid by ${receipt.method}`);
  if (receipt.given_cents !== undefined) {
    lines.push(line('Given', receipt.given_cents), line('Change', receipt.change_cents));
  }
  $('receipt-text').textContent = lines.join('\n');
  $('receipt').hidden = false;
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

async function showSummary() {
  const days = await api.days();
  const summary = days.length ? await api.summary(days[days.length - 1].day) : null;
  const figures = $('summary-figures');
  figures.replaceChildren();
  const add = (term, value) => {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = value;
    figures.append(dt, dd);
  };
  if (summary) {
    add('Customers served', summary.customers);
    add('Revenue', money(summary.revenue_cents));
    for (const payment of summary.payments) add(`Paid by ${payment.method}`, money(payment.amount_cents));
    add('Cash expected in the drawer', money(summary.cash_expected_cents));
    $('hour-chart').replaceChildren(hourChart(summary.hours));
  }
  show('summary');
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
  state.orders = answer.orders;
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

// Once the stream has given up, the till is asked until it answers. A till
// that restarted keeps its sessions; one that ended (its time is up, or its
// member of staff was removed) asks to sign in again.
async function probe() {
  try {
    await api.orders();
    listen();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) {
      state.events?.close();
      show('sign-in');
      say('Signed out: sign in again.');
    } else {
      setTimeout(probe, 1000);
    }
  }
}

async function start() {
  try {
    state.menu = await api.menu();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) {
      show('sign-in');
      return;
    }
    say('The till cannot be reached; retrying…', true);
    setTimeout(start, 2000);
    return;
  }
  renderMenu();
  show('orders');
  await refresh();
  listen();
}

$('sign-in-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const form = event.target;
  run(async () => {
    await api.signIn(form.staff.value, form.pin.value);
    form.pin.value = '';
    $('sign-out').hidden = false;
    await start();
  });
});
$('open-table').addEventListener('submit', (event) => {
  event.preventDefault();
  run(() => openOrder(event.target.label.value));
});
$('pay').addEventListener('submit', (event) => run(() => pay(event)));
$('show-orders').addEventListener('click', () => run(async () => { show('orders'); await refresh(); }));
$('show-summary').addEventListener('click', () => run(showSummary));
$('sign-out').addEventListener('click', () => run(async () => { await api.signOut(); show('sign-in'); }));
$('close-day').addEventListener('click', () => run(async () => {
  const closed = await api.closeDay();
  say(closed.report.join(' '));
}));
$('print-receipt').addEventListener('click', () => window.print());

run(start);
