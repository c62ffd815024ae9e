// A dinner in headless Chromium, found by role and accessible name: a
// waiter's tablet sends six tables with notes and three courses, fires a
// course, and the kitchen's screen makes a ticket ready, which the waiter
// sees within a second; a ticket made ready by mistake is brought back.
import { test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import { servedInABrowser, TillServer } from './server.mjs';

const shots = process.env.SCREENSHOT_DIR ?? '.';
const server = new TillServer({
  menu: 'kind,name,price,cost,course,station\n'
    + 'dish,Soup,8.00,2.00,1,kitchen\ndish,Steak,24.00,9.00,2,kitchen\n'
    + 'snack,Tart,7.00,1.50,3,pastry\ndrink,Wine,6.00,2.00,0,bar\n',
});
const held = servedInABrowser(server);

async function device(width, height, path, signedInWhen) {
  const page = await (await held.browser.newContext({ viewport: { width, height } })).newPage();
  page.setDefaultTimeout(5000);
  page.on('dialog', () => assert.fail('the page opened a browser dialog'));
  await page.goto(new URL(path, server.url).href);
  await page.getByLabel('Name').fill('Ana');
  await page.getByLabel('PIN').fill('2468');
  await page.getByRole('button', { name: 'Sign in' }).click();
  await signedInWhen(page).waitFor();
  return page;
}

test('six tables are sent, a course fired, a ticket made ready on the kitchen screen and seen ready by the waiter', async () => {
  const waiter = await device(1280, 900, '/', (page) => page.getByRole('heading', { name: 'Open orders' }));
  const kitchen = await device(1280, 800, '/kitchen?station=kitchen',
                               (page) => page.getByRole('heading', { name: 'All day' }));
  for (let table = 1; table <= 6; table += 1) {
    await waiter.getByRole('textbox', { name: 'Table', exact: true }).fill(String(table));
    await waiter.getByRole('button', { name: 'Open table', exact: true }).click();
    await waiter.getByRole('heading', { name: `Table ${table}` }).waitFor();
    if (table % 2 === 1) await waiter.getByRole('textbox', { name: 'Note for the next item' }).fill('no salt');
    for (const dish of ['Soup', 'Steak', 'Tart', 'Wine']) {
      await waiter.getByRole('button', { name: `Add ${dish}` }).click();
    }
    await waiter.getByRole('button', { name: 'Send 4 items' }).click();
    await waiter.getByRole('group', { name: 'Kitchen' }).getByRole('button', { name: 'Fire course 2' }).waitFor();
  }
  await kitchen.getByRole('article', { name: 'Ticket 16' }).waitFor({ timeout: 2000 });
  assert.equal(await kitchen.getByRole('article').count(), 6, 'one kitchen ticket a table; pastry and bar have their own');
  await kitchen.getByText('6 × Soup').waitFor();
  assert.equal(await kitchen.getByRole('button', { name: 'Soup (no salt) ready' }).count(), 3);
  assert.equal(await kitchen.getByText(/Steak \(held\)/).count(), 6, 'course 2 waits to be fired');

  // Table 6, the waiter's current one, fires course 2: its steak is to cook.
  await waiter.getByRole('button', { name: 'Fire course 2' }).click();
  await kitchen.getByText('1 × Steak').waitFor({ timeout: 2000 });
  const ticket = kitchen.getByRole('article', { name: 'Ticket 16' });
  await ticket.getByRole('button', { name: 'Steak ready', exact: true }).waitFor();
  await kitchen.screenshot({ path: join(shots, 'kitchen-screen.png') });

  await ticket.getByRole('button', { name: 'Ticket 16 ready' }).click();
  const readied = Date.now();
  const marks = waiter.getByRole('list', { name: 'Items of the order' }).getByText('ready', { exact: true });
  await marks.nth(1).waitFor({ timeout: 1000 });
  assert.ok(Date.now() - readied <= 1000, 'the waiter saw the soup and the steak ready within a second');
  await kitchen.getByRole('article', { name: 'Ticket 16' }).waitFor({ state: 'detached' });

  await kitchen.getByRole('button', { name: 'Recall ticket 16' }).click();
  await kitchen.getByRole('article', { name: 'Ticket 16' }).waitFor();
  await marks.first().waitFor({ state: 'detached', timeout: 1000 });
});
