// A receipt as a guest takes it home, 80 mm wide: who the restaurant is,
// when and where the sale was made, equal lines grouped, the total, the VAT
// it contains per rate, and how it was paid.
import { grouped, methodName, orderTitle, readableTime } from './format.js';

function line(label, amount, className = '') {
  const row = document.createElement('div');
  row.className = `line ${className}`.trim();
  const left = document.createElement('span');
  left.textContent = label;
  const right = document.createElement('span');
  right.className = 'amount';
  right.textContent = amount;
  row.append(left, right);
  return row;
}

function text(content, className = '') {
  const paragraph = document.createElement('p');
  paragraph.textContent = content;
  if (className) paragraph.className = className;
  return paragraph;
}

function heading(restaurant, receipt) {
  const parts = [];
  if (restaurant.name) parts.push(text(restaurant.name, 'restaurant-name'));
  if (restaurant.address) parts.push(text(restaurant.address));
  if (restaurant.vat_number) parts.push(text(`VAT number ${restaurant.vat_number}`));
  parts.push(text(`${orderTitle(receipt.order)} · day ${receipt.day}, customer ${receipt.customer}`));
  parts.push(text(readableTime(receipt.paid_at)));
  if (receipt.void) parts.push(text(`VOID ${readableTime(receipt.void.at)}: ${receipt.void.reason}`, 'void'));
  return parts;
}

function payment(receipt, money) {
  const rows = [];
  if (receipt.method === 'cash') {
    rows.push(line('Paid in cash', money(receipt.given_cents ?? receipt.total_cents)));
    if (receipt.given_cents !== undefined) rows.push(line('Change', money(receipt.change_cents)));
  } else {
    rows.push(line(`Paid: ${methodName(receipt.method)}`, money(receipt.total_cents)));
  }
  return rows;
}

export function receiptPaper(restaurant, receipt, money) {
  const paper = [...heading(restaurant, receipt)];
  for (const item of grouped(receipt.items)) paper.push(line(item.label, money(item.cents)));
  paper.push(line('Total', money(receipt.total_cents), 'total'));
  for (const vat of receipt.vat.filter((v) => v.rate > 0)) {
    paper.push(line(`VAT ${vat.rate / 100} % included`, money(vat.vat_cents)));
  }
  paper.push(...payment(receipt, money));
  paper.push(text(`Sale ${receipt.sale_id}`, 'sale-id'));
  if (receipt.staff) paper.push(text(`Served by ${receipt.staff}`));
  return paper;
}
