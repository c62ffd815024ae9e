// The web till in headless Chromium: two devices on the same tables, found
// by role and accessible name, at a phone's width and a wide screen's.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { chromium } from 'playwright-core';
import { TillServer } from './server.mjs';

const shots = process.env.SCREENSHOT_DIR ?? '.';
const server = new TillServer();
let browser;

before(async () => {
  await server.start();
  browser = await chromium.launch({
    executablePath: process.env.CHROMIUM_PATH ?? '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    timeout: 30000,
  });
});

after(async () => {
  await browser?.close();
  await server.stop();
});

async function device(width, height) {
  const context = await browser.newContext({ viewport: { width, height } });
  const page = await context.newPage();
  page.setDefaultTimeout(5000);
  await page.goto(server.url);
  await signIn(page);
  return page;
}

async function signIn(page) {
  await page.getByLabel('Name').fill('Ana');
  await page.getByLabel('PIN').fill('2468');
  await page.getByRole('button', { name: 'Sign in' }).click();
  await page.getByRole('heading', { name: 'Open orders' }).waitFor();
}

test('two devices take and pay table 5 together, and the summary adds up', async () => {
  const tablet = await device(800, 1280);
  const phone = await device(360, 740);

  await tablet.getByLabel('Table').fill('5');
  await tablet.getByRole('button', { name: 'Open table' }).click();
  await tablet.getByRole('button', { name: 'Add Beef noodle soup' }).click();
  await tablet.getByRole('button', { name: 'Add Grilled salmon' }).click();
  await tablet.getByRole('button', { name: 'Add Green tea' }).click();
  // The clicks do not wait for their answers: the phone may first see the
  // table with fewer items, and must catch up within a second.
  const added = Date.now();
  await phone.getByRole('button', { name: 'Open Table 5' }).filter({ hasText: '3 items, 30.50' })
    .waitFor({ timeout: 1000 });
  assert.ok(Date.now() - added <= 1000, 'the phone saw all of table 5 within a second');
  await tablet.screenshot({ path: join(shots, 'table-5-on-a-tablet.png'), fullPage: true });

  tablet.once('dialog', (dialog) => dialog.accept('7'));
  await tablet.getByRole('button', { name: 'Move Green tea (drink 1)', exact: true }).click();
  await phone.getByRole('button', { name: 'Open Table 7' }).waitFor({ timeout: 1000 });

  await tablet.getByRole('checkbox', { name: 'Split Beef noodle soup (dish 1)' }).check();
  await tablet.getByLabel('Method').selectOption('card');
  await tablet.getByRole('button', { name: 'Pay', exact: true }).click();
  await tablet.getByText('Customer 1 paid 12.50').waitFor();

  await tablet.getByLabel('Method').selectOption('cash');
  await tablet.getByLabel('Cash given').fill('20');
  await tablet.getByRole('button', { name: 'Pay', exact: true }).click();
  await tablet.getByText('Customer 2 paid 16.00. Change: 4.00').waitFor();
  await tablet.getByRole('heading', { name: 'Receipt' }).waitFor();
  assert.match(await tablet.getByRole('region', { name: 'Receipt' }).textContent(), /Change\s+4\.00/);

  await phone.getByRole('button', { name: 'Summary' }).click();
  await phone.getByRole('img', { name: 'Revenue by hour' }).waitFor();
  const figures = await phone.getByRole('region', { name: 'Summary' }).textContent();
  assert.match(figures, /Customers served2/);
  assert.match(figures, /Cash expected in the drawer16\.00/);
  const wide = await phone.evaluate(() => document.documentElement.scrollWidth);
  assert.ok(wide <= 360, `nothing wider than the phone (${wide}px)`);
  await phone.screenshot({ path: join(shots, 'summary-at-360.png'), fullPage: true });
  await tablet.setViewportSize({ width: 1280, height: 800 });
  await tablet.screenshot({ path: join(shots, 'orders-at-1280.png'), fullPage: true });
  await tablet.context().close();
  await phone.context().close();
});

test('a page says so when the till goes away, and recovers, still signed in, when it is back', async () => {
  const page = await device(1280, 800);
  await server.stop();
  await page.getByText('The till cannot be reached; retrying…').waitFor({ timeout: 5000 });
  await server.start();
  await page.getByText('Connected.').waitFor({ timeout: 10000 });
  await page.getByRole('button', { name: 'Open Table 7' }).waitFor();
  await page.context().close();
});

test('an answer that comes back late does not undo a newer one', async () => {
  const phone = await device(360, 740);
  const tablet = await device(800, 1280);
  let release;
  await phone.route('**/api/orders', async (route) => {
    if (release) return route.continue();
    const early = await route.fetch();
    release = () => route.fulfill({ response: early });
  });

  await tablet.getByRole('textbox', { name: 'Table' }).fill('9');
  await tablet.getByRole('button', { name: 'Open table', exact: true }).click();
  await tablet.getByRole('button', { name: 'Add Green tea' }).click();
  await tablet.getByRole('button', { name: 'Open Table 9' }).waitFor();
  await tablet.getByRole('button', { name: 'Add Green tea' }).click();
  const table9 = phone.getByRole('button', { name: 'Open Table 9' });
  await table9.filter({ hasText: '2 items' }).waitFor();

  await release();
  await phone.evaluate(() => new Promise((done) => setTimeout(done, 200)));
  assert.match(await table9.textContent(), /2 items, 4\.00/);
  await tablet.context().close();
  await phone.context().close();
});
