// The day's summary as the page shows it: its figures in words, the sales
// per payment method, and the revenue by hour drawn as SVG.
import { counted, methodName } from './format.js';

const $ = (id) => document.getElementById(id);

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

function summaryFigures(summary, money) {
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

// Fills the summary's figures and chart; without a day, says so.
export function renderSummary(summary, money) {
  const list = $('summary-figures');
  list.replaceChildren();
  const figures = summary ? summaryFigures(summary, money) : [['Day', 'Not opened yet']];
  for (const [term, value] of figures) {
    const dt = document.createElement('dt');
    dt.textContent = term;
    const dd = document.createElement('dd');
    dd.textContent = value;
    list.append(dt, dd);
  }
  $('hour-chart').replaceChildren(...(summary?.hours.length ? [hourChart(summary.hours)] : []));
}
