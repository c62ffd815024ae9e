// How the page words and orders what it shows: amounts in the restaurant's
// currency, counts, tables as people count them, receipt lines grouped.
// Pure functions, so that each reads the same wherever it is used.

export function moneyIn(currency) {
  return (cents) => `${(cents / 100).toFixed(2)} ${currency}`;
}

export const counted = (count, one) => `${count} ${one}${count === 1 ? '' : 's'}`;

export const orderTitle = (name) => (name === 'counter' ? 'Counter' : `Table ${name}`);

export const folded = (label) => label.toLowerCase();

// The counter first, then the tables as people count: 2 before 10, 5b after 5.
const tableOrder = new Intl.Collator(undefined, { numeric: true, sensitivity: 'base' });
export function byTable(orders) {
  return [...orders].sort((a, b) => {
    if (a.order === 'counter' || b.order === 'counter') {
      return (b.order === 'counter') - (a.order === 'counter');
    }
    return tableOrder.compare(a.order, b.order);
  });
}

// Equal lines (the same name at the same price) become one, `2 × Tea`, in
// the order each first came; an item with a note is a line of its own.
export function grouped(items) {
  const lines = new Map();
  for (const [at, item] of items.entries()) {
    const key = item.note ? `note ${at}` : `${item.name}\u0000${item.price_cents}`;
    const name = item.note ? `${item.name} (${item.note})` : item.name;
    const line = lines.get(key) ?? { name, count: 0, cents: 0 };
    line.count += 1;
    line.cents += item.price_cents;
    lines.set(key, line);
  }
  return [...lines.values()].map((line) => ({
    label: line.count > 1 ? `${line.count} × ${line.name}` : line.name,
    cents: line.cents,
  }));
}

// A time as a person reads it, in the device's own language and zone.
export function readableTime(iso) {
  const when = new Date(iso);
  return Number.isNaN(when.getTime())
    ? iso
    : when.toLocaleString(undefined, { dateStyle: 'medium', timeStyle: 'short' });
}

const methods = { cash: 'Cash', card: 'Card', other: 'Other' };
export const methodName = (method) => methods[method] ?? 'Not recorded';

// An amount typed by a person, with a point or a comma: cents, or null.
export function centsOf(text) {
  const plain = text.trim().replace(',', '.');
  if (!/^\d{1,7}(\.\d{1,2})?$/.test(plain)) return null;
  const [whole, part = ''] = plain.split('.');
  return Number(whole) * 100 + Number(part.padEnd(2, '0'));
}

// The hour and minute of a moment, as the device shows times: 19:42.
export const timeOf = (iso) =>
  new Date(iso).toLocaleTimeString(undefined, { hour: '2-digit', minute: '2-digit' });
