// The kitchen's screen for one station: its open tickets, oldest first,
// with their age; items and tickets made ready by touch, a ticket brought
// back; and the items still to cook across every ticket, as cooks batch
// them. Live through the event stream, like the waiters' page.
import { api, ApiError } from './api.js';
import { timeOf } from './format.js';
import { renderUnreachable } from './kitchen-order.js';

const $ = (id) => document.getElementById(id);
const station = new URLSearchParams(location.search).get('station') ?? '';
const late = 10 * 60;
const veryLate = 20 * 60;
const state = { tickets: [], readied: [], skew: 0, events: null };

function say(text) {
  $('status').textContent = text;
}

function button(text, label, action, className = '') {
  const made = document.createElement('button');
  made.type = 'button';
  made.className = className;
  made.append(...text);
  made.setAttribute('aria-label', label);
  made.addEventListener('click', () => run(action));
  return made;
}

async function run(action) {
  try {
    await action();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) showSignIn();
    else say(error.message);
  }
}

// Ages are counted by the till's clock, whatever the screen's says.
const ageOf = (ticket) =>
  Math.max(0, Math.floor((Date.now() + state.skew - Date.parse(ticket.sent_at)) / 1000));

function itemButton(ticket, item) {
  const note = document.createElement('span');
  note.className = 'note';
  note.textContent = item.note ?? '';
  const mark = item.ready ? 'ready' : item.held ? 'held' : '';
  return button([item.name + (item.held ? ' (held)' : ''), note],
                `${item.name}${item.note ? ` (${item.note})` : ''} ${item.ready ? 'is ready' : 'ready'}`,
                () => api.ready(ticket.ticket, [item.id]).then(refresh), mark);
}

function ticketCard(ticket) {
  const card = document.createElement('article');
  const age = ageOf(ticket);
  card.className = `ticket${age >= veryLate ? ' very-late' : age >= late ? ' late' : ''}`;
  card.setAttribute('aria-label', `Ticket ${ticket.ticket}`);
  const title = document.createElement('h2');
  title.textContent = `#${ticket.ticket} · ${ticket.order === 'counter' ? 'Counter' : `Table ${ticket.order}`}`;
  const when = document.createElement('p');
  when.className = 'age';
  when.textContent = `${Math.floor(age / 60)} min${ticket.staff ? ` · ${ticket.staff}` : ''}`;
  const items = document.createElement('ul');
  for (const item of ticket.items) {
    const line = document.createElement('li');
    line.append(itemButton(ticket, item));
    items.append(line);
  }
  card.append(title, when, items, button(['Ticket ready'], `Ticket ${ticket.ticket} ready`, () => readyAll(ticket)));
  return card;
}

async function readyAll(ticket) {
  await api.ready(ticket.ticket);
  state.readied = [ticket, ...state.readied.filter((t) => t.ticket !== ticket.ticket)].slice(0, 5);
  await refresh();
}

function render() {
  $('tickets').replaceChildren(...state.tickets.map(ticketCard));
  if (state.tickets.length === 0) $('tickets').textContent = 'No ticket waits.';
  const counts = new Map();
  for (const ticket of state.tickets) {
    for (const item of ticket.items.filter((i) => !i.ready && !i.held)) {
      counts.set(item.name, (counts.get(item.name) ?? 0) + 1);
    }
  }
  $('all-day').replaceChildren(...[...counts].map(([name, count]) =>
    Object.assign(document.createElement('li'), { textContent: `${count} × ${name}` })));
  const open = new Set(state.tickets.map((t) => t.ticket));
  $('recall').replaceChildren(...state.readied.filter((t) => !open.has(t.ticket)).map((t) => {
    const line = document.createElement('li');
    line.append(button([`Recall #${t.ticket}`], `Recall ticket ${t.ticket}`,
                       () => api.recall(t.ticket).then(refresh)));
    return line;
  }));
}

async function refresh() {
  const answer = await api.tickets(station);
  state.skew = Date.parse(answer.now) - Date.now();
  state.tickets = answer.tickets;
  render();
  renderUnreachable(await api.orders(), timeOf);
}

function listen() {
  state.events?.close();
  state.events = new EventSource('/api/events');
  state.events.addEventListener('change', () => run(refresh));
  state.events.addEventListener('open', () => { say('Connected.'); run(refresh); });
  state.events.addEventListener('error', () => say('The till cannot be reached; retrying…'));
}

function showSignIn() {
  $('sign-in').hidden = false;
  $('kitchen').hidden = true;
}

async function start() {
  $('station-title').textContent = station ? `Kitchen: ${station}` : 'Kitchen: every station';
  document.title = $('station-title').textContent;
  try {
    await refresh();
  } catch (error) {
    if (error instanceof ApiError && error.status === 401) return showSignIn();
    say(error.message);
  }
  $('sign-in').hidden = true;
  $('kitchen').hidden = false;
  listen();
}

$('sign-in-form').addEventListener('submit', (event) => {
  event.preventDefault();
  const form = event.target;
  run(async () => {
    await api.signIn(form.staff.value.trim(), form.pin.value);
    form.reset();
    await start();
  });
});
setInterval(render, 15000);
start();
