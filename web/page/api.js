// The web till's API, as the page calls it: JSON in and out, one key per
// change so that a retry changes nothing twice.

export class ApiError extends Error {
  constructor(status, message) {
    super(message);
    this.status = status;
  }
}

// A random key; crypto.randomUUID needs a secure context, which a till on
// the restaurant's own network without a certificate is not.
function newKey() {
  const bytes = crypto.getRandomValues(new Uint8Array(16));
  return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
}

async function call(method, path, body) {
  const options = { method, headers: {}, credentials: 'same-origin' };
  if (method !== 'GET') {
    options.headers['Content-Type'] = 'application/json';
    options.headers['Idempotency-Key'] = newKey();
    options.body = JSON.stringify(body ?? {});
  }
  const response = await fetch(path, options);
  const text = await response.text();
  const answer = text ? JSON.parse(text) : null;
  if (!response.ok) {
    throw new ApiError(response.status, answer?.error ?? response.statusText);
  }
  return answer;
}

const orderPath = (order) => `/api/orders/${encodeURIComponent(order)}`;

export const api = {
  signIn: (staff, pin) => call('POST', '/api/session', { staff, pin }),
  signOut: () => call('DELETE', '/api/session'),
  menu: () => call('GET', '/api/menu'),
  orders: () => call('GET', '/api/orders'),
  add: (order, kind, item) => call('POST', `${orderPath(order)}/items`, { kind, item, count: 1 }),
  remove: (order, id) => call('DELETE', `${orderPath(order)}/items/${encodeURIComponent(id)}`),
  move: (order, items, to) => call('POST', `${orderPath(order)}/move`, { items, to }),
  pay: (order, payment) => call('POST', `${orderPath(order)}/pay`, payment),
  days: () => call('GET', '/api/days'),
  summary: (day) => call('GET', `/api/days/${day}/summary`),
  closeDay: () => call('POST', '/api/day/close'),
};
