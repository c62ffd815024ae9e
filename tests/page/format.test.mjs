// The page's wording rules, run by Node alone: what each amount, count,
// list of tables and receipt line reads like.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { byTable, centsOf, counted, grouped, moneyIn } from '../../web/page/format.js';

test('amounts carry the currency, counts agree with their number', () => {
  assert.equal(moneyIn('€')(3450), '34.50 €');
  assert.equal(moneyIn('$')(5), '0.05 $');
  assert.deepEqual([0, 1, 2].map((n) => counted(n, 'item')), ['0 items', '1 item', '2 items']);
});

test('the counter comes first, then tables as people count them', () => {
  const labels = ['12', 'terrace-2', '5', 'counter', '31', 'Bar', '5b', '2', 'terrace-10'];
  assert.deepEqual(byTable(labels.map((order) => ({ order }))).map((o) => o.order),
                   ['counter', '2', '5', '5b', '12', '31', 'Bar', 'terrace-2', 'terrace-10']);
});

test('equal lines are grouped in the order each first came, a price or a note apart is its own line', () => {
  const items = [['Tea', 200], ['Soup', 450], ['Tea', 200], ['Tea', 250], ['Tea', 200], ['Tea', 200, 'iced']]
    .map(([name, price_cents, note]) => ({ name, price_cents, note: note ?? null }));
  assert.deepEqual(grouped(items), [{ label: '3 × Tea', cents: 600 }, { label: 'Soup', cents: 450 },
                                    { label: 'Tea', cents: 250 }, { label: 'Tea (iced)', cents: 200 }]);
});

test('cash typed with a point or a comma is read to the cent, anything else is no amount', () => {
  const read = ['20', '20.5', '20,50', ' 0.05 ', '9999999.99'].map(centsOf);
  assert.deepEqual(read, [2000, 2050, 2050, 5, 999999999]);
  for (const wrong of ['', '-1', '1e3', '20.505', '0x10', '20 €', '10000000']) {
    assert.equal(centsOf(wrong), null, wrong);
  }
});
