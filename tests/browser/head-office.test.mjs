// A till that ships to a head office it cannot reach: sales go on, and
// every device, the kitchen's screen too, says since when the head office
// is unreachable.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { runOrThrow, servedInABrowser, TillServer } from './server.mjs';

// A Unix socket's folder that does not exist: the head office never answers.
const nowhere = 'host=/nonexistent/head-office user=north dbname=group';
const server = new TillServer({ serving: ['--ship-to', nowhere] });
runOrThrow(['settings', 'site', 'north', '--journal', server.journal]);
const held = servedInABrowser(server);

test('a waiter sells while the head office is unreachable, and the banner says since when', async () => {
  const page = await (await held.browser.newContext({ viewport: { width: 1024, height: 768 } })).newPage();
  page.setDefaultTimeout(5000);
  await page.goto(server.url);
  await page.getByLabel('Name').fill('Ana');
  await page.getByLabel('PIN').fill('2468');
  await page.getByRole('button', { name: 'Sign in' }).click();
  const banner = page.getByRole('status', { name: 'Head office' });
  await banner.getByText(/^head office unreachable since \d/).waitFor({ timeout: 5000 });

  await page.getByRole('textbox', { name: 'Table', exact: true }).fill('3');
  await page.getByRole('button', { name: 'Open table', exact: true }).click();
  await page.getByRole('button', { name: 'Add Green tea' }).click();
  await page.getByText('To pay: 2.00 €').waitFor();
  await page.getByLabel('Method').selectOption('card');
  await page.getByRole('button', { name: 'Pay', exact: true }).click();
  await page.getByText('Customer 1 paid 2.00 €').waitFor();
  assert.match(await banner.textContent(), /^head office unreachable since/);
  await page.screenshot({ path: join(process.env.SCREENSHOT_DIR ?? '.', 'head-office-unreachable.png') });

  await page.goto(new URL('/kitchen?station=kitchen', server.url).href);
  await page.getByRole('status', { name: 'Head office' })
    .getByText(/^head office unreachable since \d/).waitFor();
});
