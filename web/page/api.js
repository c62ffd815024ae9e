// The web till's API, as the page calls it: JSON in and out. Each change is
// one action with one key: sent again with the same key after a network
// error or a 503, so that a retry never changes anything twice.

export class ApiError extends Error {
  constructor(status, message, answer) {
    super(message);
    this.status = status;
    this.answer = answer;
  }
}

// The till keeps a key's answer long enough for this; after it, the action
// is given up and said.
const retryFor = 10 * 60 * 1000;

// A random key; crypto.randomUUID needs a secure context, which a till on
// the restaurant's own network without a certificate is not.
function newKey() {
  const bytes = crypto.getRandomValues(new Uint8Array(16));
  return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
}

const pause = (ms) => new Promise((done) => setTimeout(done, ms));

async function send(method, path, body, key) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (method !== 'GET') {
    options.headers['Content-Type'] = 'application/json';
    options.headers['Idempotency-Key'] = key;
    options.body = JSON.stringify(body ?? {});
  }
  const response = await fetch(path, options);
  const text = await response.text();
  let answer = null;
  try {
    answer = text ? JSON.parse(text) : null;
  } catch {
    answer = null;  // a proxy's page, not ours
  }
  if (!response.ok) {
    throw new ApiError(response.status, answer?.error ?? response.statusText, answer);
  }
  return answer;
}

const retried = (error) => !(error instanceof ApiError) || error.status === 503;

// Told of each retry, with its error, and of the answer that ends a run of
// retries, with null, so that the page can say it is still trying and when
// it got through.
let onRetry = () => {};
export function whenRetrying(listener) {
  onRetry = listener;
}

// Asked for a manager's approval when the till says an action needs one:
// resolves to {staff, pin}, or null to give the action up.
let askApproval = async () => null;
export function whenApprovalNeeded(ask) {
  askApproval = ask;
}

const needsApproval = (error) =>
  error instanceof ApiError && error.status === 403 && / needs a manager's approval$/.test(error.message);

async function changeOnce(method, path, body) {
  const key = newKey();
  const started = Date.now();
  for (let attempt = 0; ; attempt += 1) {
    try {
      const answer = await send(method, path, body, key);
      if (attempt > 0) onRetry(null);
      return answer;
    } catch (error) {
      if (!retried(error) || Date.now() - started > retryFor) throw error;
      onRetry(error);
      await pause(Math.min(200 * 2 ** attempt, 5000));
    }
  }
}

// An action a waiter may not do alone is sent again, as a new action, with
// the approval a manager typed on the device.
async function change(method, path, body) {
  try {
    return await changeOnce(method, path, body);
  } catch (error) {
    if (!needsApproval(error)) throw error;
    const approval = await askApproval(error.message);
    if (!approval) throw error;
    return changeOnce(method, path, { ...(body ?? {}), approval });
  }
}

const read = (path) => send('GET', path);
const orderPath = (order) => `/api/orders/${encodeURIComponent(order)}`;

export const api = {
  signIn: (staff, pin) => send('POST', '/api/session', { staff, pin }, newKey()),
  signOut: () => change('DELETE', '/api/session'),
  settings: () => read('/api/settings'),
  menu: () => read('/api/menu'),
  orders: () => read('/api/orders'),
  add: (order, kind, item, note, menuVersion) =>
    change('POST', `${orderPath(order)}/items`,
           { kind, item, count: 1, menu_version: menuVersion, ...(note ? { note } : {}) }),
  discount: (order, discount) => change('POST', `${orderPath(order)}/discount`, discount),
  send: (order) => change('POST', `${orderPath(order)}/send`),
  fire: (order, course) => change('POST', `${orderPath(order)}/fire`, { course }),
  tickets: (station) =>
    read(station ? `/api/tickets?station=${encodeURIComponent(station)}` : '/api/tickets'),
  ready: (ticket, items) => change('POST', `/api/tickets/${ticket}/ready`, items ? { items } : {}),
  recall: (ticket) => change('POST', `/api/tickets/${ticket}/recall`),
  remove: (order, id) => change('DELETE', `${orderPath(order)}/items/${encodeURIComponent(id)}`),
  move: (order, items, to) => change('POST', `${orderPath(order)}/move`, { items, to }),
  pay: (order, payment) => change('POST', `${orderPath(order)}/pay`, payment),
  sale: (saleId) => read(`/api/sales/${encodeURIComponent(saleId)}`),
  voidSale: (saleId, reason) =>
    change('POST', `/api/sales/${encodeURIComponent(saleId)}/void`, { reason }),
  days: () => read('/api/days'),
  summary: (day) => read(`/api/days/${day}/summary`),
  closeDay: () => change('POST', '/api/day/close'),
};
