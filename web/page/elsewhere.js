// What happened on another device to the order this one showed, found
// from what the till holds now.
import { api, ApiError } from './api.js';
import { orderTitle } from './format.js';

// Returns in words why an order went away on another device:
// moved (its items are on another order), paid (its sale has a receipt) or
// cleared.
export async function whyGone(before, orders, money) {
  const title = orderTitle(before.order);
  const ids = new Set(before.items.map((item) => item.id));
  const movedTo = orders.find((o) => o.items.some((item) => ids.has(item.id)));
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
  return words;
}
