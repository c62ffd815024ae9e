// The web till in headless Chromium, found by role and accessible name:
// devices at a phone's, a tablet's and a wide screen's width on the same
// tables; taps that land where they were aimed; what each tap charges; the
// paths where something goes wrong. Every wait is on a condition.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { runOrThrow, servedInABrowser, restaurant, TillServer } from './server.mjs';

const shots = process.env.SCREENSHOT_DIR ?? '.';
const server = new TillServer();
// Every browser dialog any page opens: the page must use its own.
const browserDialogs = [];
const held = servedInABrowser(server);

async function device(width, height, { url = server.url, signedIn = true, staff = ['Ana', '2468'] } = {}) {
  const context = await held.browser.newContext({ viewport: { width, height } });
  const page = await context.newPage();
  page.setDefaultTimeout(5000);
  page.on('dialog', (dialog) => {
    browserDialogs.push(dialog.type());
    dialog.dismiss();
  });
  await page.goto(url);
  if (signedIn) await signIn(page, ...staff);
  return page;
}

async function signIn(page, name = 'Ana', pin = '2468') {
  await page.getByLabel('Name').fill(name);
  await page.getByLabel('PIN').fill(pin);
  await page.getByRole('button', { name: 'Sign in' }).click();
  await page.getByRole('heading', { name: 'Open orders' }).waitFor();
}

async function openTable(page, label) {
  await page.getByRole('textbox', { name: 'Table', exact: true }).fill(label);
  await page.getByRole('button', { name: 'Open table', exact: true }).click();
  await page.getByRole('heading', { name: `Table ${label}` }).waitFor();
}

const orderTotal = (page, count) => page.getByText(new RegExp(`^${count} items?, total `));

test('two devices take and pay table 5: the move is a dialog, a split and the change show before paying', async () => {
  const tablet = await device(1024, 768);
  const phone = await device(390, 844);

  await openTable(tablet, '5');
  for (const dish of ['Beef noodle soup', 'Grilled salmon', 'Green tea']) {
    await tablet.getByRole('button', { name: `Add ${dish}` }).click();
  }
  const added = Date.now();
  await phone.getByRole('button', { name: 'Open Table 5' }).filter({ hasText: '3 items, 30.50 €' })
    .waitFor({ timeout: 1000 });
  assert.ok(Date.now() - added <= 1000, 'the phone saw all of table 5 within a second');
  await tablet.getByText('To pay: 30.50 €').waitFor();
  await tablet.screenshot({ path: join(shots, 'order-on-a-tablet.png') });

  await tablet.getByRole('button', { name: 'Move Green tea (drink 1)', exact: true }).click();
  const move = tablet.getByRole('dialog', { name: 'Move Green tea to' });
  await move.getByRole('textbox', { name: 'New table' }).fill('7');
  await move.getByRole('button', { name: 'Move to the new table' }).click();
  await phone.getByRole('button', { name: 'Open Table 7' }).waitFor({ timeout: 1000 });

  await tablet.getByRole('checkbox', { name: 'Split Beef noodle soup (dish 1)' }).check();
  await tablet.getByText('Split: 1 of 2 items, to pay 12.50 €').waitFor();
  await tablet.getByLabel('Method').selectOption('card');
  await tablet.getByRole('button', { name: 'Pay', exact: true }).click();
  await tablet.getByText('Customer 1 paid 12.50 €').waitFor();

  await tablet.getByText('To pay: 16.00 €').waitFor();
  await tablet.getByLabel('Method').selectOption('cash');
  await tablet.getByLabel('Cash given').fill('20');
  await tablet.getByText('Given 20.00 €, change 4.00 €').waitFor();
  await tablet.getByRole('button', { name: 'Pay', exact: true }).click();
  await tablet.getByText('Customer 2 paid 16.00 €. Change: 4.00 €').waitFor();
  assert.match(await tablet.getByRole('region', { name: 'Receipt' }).textContent(), /Change\s*4\.00 €/);

  await phone.getByRole('button', { name: 'Summary' }).click();
  await phone.getByRole('img', { name: 'Revenue by hour' }).waitFor();
  const figures = await phone.getByRole('region', { name: 'Summary' }).textContent();
  assert.match(figures, /Customers served2/);
  assert.match(figures, /Cash expected in the drawer16\.00 €/);
  const wide = await phone.evaluate(() => document.documentElement.scrollWidth);
  assert.ok(wide <= 390, `nothing wider than the phone (${wide}px)`);
  await tablet.context().close();
  await phone.context().close();
});

test('ten taps at 80 ms on one spot ring ten of that dish and nothing else, on a phone', async () => {
  const phone = await device(390, 844);
  await openTable(phone, '31');
  const lemonade = phone.getByRole('button', { name: 'Add Lemonade' });
  await phone.evaluate(() => window.scrollTo(0, document.documentElement.scrollHeight));
  const spot = await lemonade.boundingBox();
  const x = spot.x + spot.width / 2;
  const y = spot.y + spot.height / 2;
  assert.ok(await lemonade.evaluate((button, [atX, atY]) => button.contains(document.elementFromPoint(atX, atY)), [x, y]),
            'the button is not hidden under the order');
  for (let tap = 0; tap < 10; tap += 1) {
    await phone.mouse.click(x, y);
    await phone.waitForTimeout(80);
  }
  await orderTotal(phone, 10).waitFor();
  const names = await phone.getByRole('list', { name: 'Items of the order' }).getByRole('listitem')
    .evaluateAll((rows) => rows.map((row) => row.firstChild.textContent));
  assert.deepEqual(names, Array(10).fill('Lemonade'));
  await phone.screenshot({ path: join(shots, 'order-on-a-phone.png') });
  await phone.context().close();
});

test('adding 15 items shifts nothing at 360, 768 and 1280 pixels', async () => {
  const dishes = ['Beef noodle soup', 'Spring rolls', 'Green tea', 'Mushroom risotto', 'Lemonade'];
  for (const width of [360, 768, 1280]) {
    const page = await device(width, 800);
    await openTable(page, `shift-${width}`);
    await page.evaluate(() => {
      window.shifted = [];
      new PerformanceObserver((list) => window.shifted.push(...list.getEntries().map((e) => e.value)))
        .observe({ type: 'layout-shift' });
    });
    for (let added = 1; added <= 15; added += 1) {
      await page.getByRole('button', { name: `Add ${dishes[added % dishes.length]}` }).click();
      await orderTotal(page, added).waitFor();
    }
    const shifted = await page.evaluate(() => window.shifted);
    assert.deepEqual(shifted, [], `layout shifts at ${width} px`);
    await page.context().close();
  }
});

test('a table paid on another device is said so in words within a second', async () => {
  const waiter = await device(1280, 800);
  const other = await device(390, 844);
  await openTable(waiter, '12');
  await waiter.getByRole('button', { name: 'Add Orange juice' }).click();
  await waiter.getByRole('button', { name: 'Add Onion rings' }).click();
  await orderTotal(waiter, 2).waitFor();

  await other.getByRole('button', { name: 'Open Table 12' }).filter({ hasText: '2 items' }).click();
  await other.getByLabel('Method').selectOption('card');
  await other.getByRole('button', { name: 'Pay', exact: true }).click();
  const paid = Date.now();
  await waiter.getByText(/^Table 12 was paid on another device: customer \d+, 7\.00 €$/)
    .waitFor({ timeout: 1000 });
  assert.ok(Date.now() - paid <= 1000);
  assert.equal(await waiter.getByRole('heading', { name: 'Table 12' }).count(), 0,
               'no empty order left to ring on');
  await waiter.context().close();
  await other.context().close();
});

test('a receipt names the restaurant, groups equal lines, fits 80 mm, and is voided after a question', async () => {
  const phone = await device(390, 844);
  await openTable(phone, 'terrace-2');
  for (const dish of ['Green tea', 'Green tea', 'Beef noodle soup']) {
    await phone.getByRole('button', { name: `Add ${dish}` }).click();
  }
  await orderTotal(phone, 3).waitFor();
  await phone.getByLabel('Cash given').fill('50');
  await phone.getByRole('button', { name: 'Pay', exact: true }).click();
  const receipt = phone.getByRole('region', { name: 'Receipt' });
  await receipt.getByText('2 × Green tea').waitFor();
  const text = await receipt.textContent();
  for (const wanted of [restaurant.name, restaurant.address, `VAT number ${restaurant['vat-number']}`,
                        '4.00 €', 'Total16.50 €', 'Change33.50 €']) {
    assert.ok(text.includes(wanted), `the receipt shows ${wanted}: ${text}`);
  }
  assert.doesNotMatch(text, /\d{4}-\d{2}-\d{2}T/, 'a date a person reads');

  await phone.emulateMedia({ media: 'print' });
  const widest = await phone.evaluate(() => Math.max(...[...document.querySelectorAll('#receipt, #receipt *')]
    .map((element) => element.getBoundingClientRect().width)));
  assert.ok(widest > 0 && widest <= (80 / 25.4) * 96 + 0.5, `the widest printed element is ${widest}px`);
  await phone.emulateMedia({ media: 'screen' });

  await phone.getByRole('button', { name: 'Void this sale' }).click();
  const question = phone.getByRole('dialog', { name: /^Void customer \d+'s sale\?$/ });
  await question.getByRole('textbox', { name: 'Reason' }).fill('rang up on the wrong table');
  await question.getByRole('button', { name: 'Void the sale' }).click();
  await receipt.getByText(/VOID .*: rang up on the wrong table/).waitFor();
  await phone.context().close();
});

test('a waiter voids with a manager\'s PIN typed on the device, and a dish sold out greys within a second', async () => {
  const phone = await device(390, 844, { staff: ['Bo', '1357'] });
  await openTable(phone, '12');
  await phone.getByRole('button', { name: 'Add Green tea' }).click();
  await orderTotal(phone, 1).waitFor();
  await phone.getByRole('button', { name: 'Pay', exact: true }).click();
  const receipt = phone.getByRole('region', { name: 'Receipt' });
  await receipt.getByText('Green tea').waitFor();
  await phone.getByRole('button', { name: 'Void this sale' }).click();
  const question = phone.getByRole('dialog', { name: /^Void customer \d+'s sale\?$/ });
  await question.getByRole('textbox', { name: 'Reason' }).fill('never served');
  await question.getByRole('button', { name: 'Void the sale' }).click();
  const approval = phone.getByRole('dialog', { name: 'A manager\'s approval' });
  await approval.getByRole('textbox', { name: 'Manager', exact: true }).fill('Ana');
  await approval.getByLabel('Manager\'s PIN').fill('2468');
  await approval.getByRole('button', { name: 'Approve' }).click();
  await receipt.getByText(/VOID .*: never served/).waitFor();

  await openTable(phone, '14');
  await phone.getByRole('button', { name: 'Add Green tea' }).waitFor();
  const marked = Date.now();
  runOrThrow(['sold-out', 'drink', 'Green tea', '--journal', server.journal]);
  await phone.getByRole('button', { name: 'Green tea, sold out' }).waitFor({ timeout: 1000 });
  assert.ok(Date.now() - marked <= 1500, 'the phone greyed the tea within a second of the mark');
  assert.ok(await phone.getByRole('button', { name: 'Green tea, sold out' }).isDisabled());
  runOrThrow(['available', 'drink', 'Green tea', '--journal', server.journal]);
  await phone.getByRole('button', { name: 'Add Green tea' }).waitFor();
  await phone.context().close();
});

test('closing the day asks first, and Cancel closes nothing', async () => {
  const tablet = await device(1024, 768);
  await tablet.getByRole('button', { name: 'Summary' }).click();
  await tablet.getByRole('button', { name: 'Close the day' }).click();
  const question = tablet.getByRole('dialog', { name: /^Close day \d+\?$/ });
  await question.getByRole('button', { name: 'Cancel' }).click();
  await question.waitFor({ state: 'hidden' });
  const days = await tablet.evaluate(() => fetch('/api/days').then((answer) => answer.json()));
  assert.ok(days.every((day, at) => (at === days.length - 1) === (day.closed_at === null)));
  await tablet.context().close();
});

test('an add whose answer is lost is retried with the same key and rings once', async () => {
  const phone = await device(390, 844);
  await openTable(phone, '40');
  const keys = [];
  await phone.route('**/api/orders/40/items', async (route) => {
    keys.push(route.request().headers()['idempotency-key']);
    if (keys.length === 1) {
      await route.fetch();  // the till carries it out; the answer never arrives
      await route.abort('connectionreset');
    } else {
      await route.continue();
    }
  });
  const retried = phone.waitForResponse((response) => response.url().endsWith('/api/orders/40/items'));
  await phone.getByRole('button', { name: 'Add Tomato soup' }).click();
  assert.equal((await retried).status(), 200);
  assert.equal(keys.length, 2);
  assert.equal(keys[0], keys[1]);
  const orders = await phone.evaluate(() => fetch('/api/orders').then((answer) => answer.json()));
  assert.equal(orders.orders.find((order) => order.order === '40').items.length, 1);
  await phone.context().close();
});

test('a session that ended asks to sign in, offers the last name as a button, and keeps the tap', async () => {
  const phone = await device(390, 844);
  await openTable(phone, '41');
  await phone.context().clearCookies();
  await phone.getByRole('button', { name: 'Add French fries' }).click();
  await phone.getByText('Signed out: sign in again.').waitFor();
  assert.equal(await phone.getByRole('button', { name: 'Summary' }).count(), 0,
               'no view but sign-in before signing in');
  await phone.getByRole('group', { name: 'Recent staff on this device' })
    .getByRole('button', { name: 'Ana' }).click();
  await phone.getByLabel('PIN').fill('2468');
  await phone.getByRole('button', { name: 'Sign in' }).click();
  await orderTotal(phone, 1).waitFor();
  await phone.context().close();
});

test('a page says so when the till goes away, and recovers, still signed in, when it is back', async () => {
  const page = await device(1280, 800);
  await server.stop();
  await page.getByText('The till cannot be reached; retrying…').waitFor({ timeout: 5000 });
  assert.ok(await page.getByRole('status').first().isVisible(), 'the banner stays in view');
  await server.start();
  await page.getByText('Connected.').waitFor({ timeout: 10000 });
  await page.getByRole('button', { name: 'Open Table 7' }).waitFor();
  await page.context().close();
});

test('an answer that comes back late does not undo a newer one', async () => {
  const phone = await device(390, 844);
  const tablet = await device(1280, 800);
  let release;
  await phone.route('**/api/orders', async (route) => {
    if (release) return route.continue();
    const early = await route.fetch();
    release = () => route.fulfill({ response: early });
  });

  await openTable(tablet, '9');
  await tablet.getByRole('button', { name: 'Add Green tea' }).click();
  await tablet.getByRole('button', { name: 'Open Table 9' }).waitFor();
  await tablet.getByRole('button', { name: 'Add Green tea' }).click();
  const table9 = phone.getByRole('button', { name: 'Open Table 9' });
  await table9.filter({ hasText: '2 items' }).waitFor();

  await release();
  await phone.evaluate(() => new Promise((done) => setTimeout(done, 200)));
  assert.match(await table9.textContent(), /2 items, 4\.00 €/);
  await tablet.context().close();
  await phone.context().close();
});

test('tables are listed as people count them', async () => {
  const page = await device(1280, 800);
  const labels = await page.getByRole('button', { name: /^Open Table / })
    .evaluateAll((buttons) => buttons.map((b) => b.getAttribute('aria-label').slice('Open Table '.length)));
  const numbers = labels.filter((label) => /^\d+$/.test(label)).map(Number);
  assert.deepEqual(numbers, [...numbers].sort((a, b) => a - b));
  assert.ok(numbers.length >= 3, labels.join(' '));
  await page.context().close();
});

test('an empty day, and an old day whose payments kept no method, show their summaries in words', async () => {
  const empty = new TillServer({ copyOf: null });
  const old = new TillServer({ copyOf: join(import.meta.dirname, '..', 'fixtures', 'journal-v1') });
  try {
    const page = await device(390, 844, { url: await empty.start() });
    await page.getByRole('button', { name: 'Summary' }).click();
    const figures = page.getByRole('region', { name: 'Summary' });
    await figures.getByText('None yet').waitFor();
    assert.match(await figures.textContent(), /Customers served0/);
    await page.goto(await old.start());
    await page.getByRole('button', { name: 'Summary' }).click();
    await figures.getByText(/^Paid by not recorded$/).waitFor();
    await page.context().close();
  } finally {
    await empty.stop();
    await old.stop();
  }
});

test('no page ever opened a browser dialog', () => {
  assert.deepEqual(browserDialogs, []);
});
