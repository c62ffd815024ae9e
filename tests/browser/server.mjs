// Starts `restaurant serve` on loopback with a journal of its own: by
// default with a manager, Ana, PIN 2468, a waiter, Bo, PIN 1357, and the restaurant's
// settings; or on a copy of a journal given, as it is. Stops and restarts
// it on the same port.
import { spawn, spawnSync } from 'node:child_process';
import { copyFileSync, existsSync, mkdtempSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';

const program = process.env.RESTAURANT_PATH;

export const restaurant = {
  name: 'Chez Nous',
  address: '12 Rue des Lilas, Lyon',
  'vat-number': 'FR12345678901',
  currency: '€',
};

export function runOrThrow(args, input = '') {
  const ran = spawnSync(program, args, { input, encoding: 'utf8' });
  if (ran.status !== 0) throw new Error(`restaurant ${args.join(' ')} failed: ${ran.stderr}`);
}

export class TillServer {
  // `copyOf`: a folder holding a journal to serve a copy of, as it is;
  // `menu`: the text of a menu file to import first; `serving`: more of
  // serve's arguments.
  constructor({ copyOf, menu, serving = [] } = {}) {
    this.serving = serving;
    this.folder = mkdtempSync(join(process.env.TEST_TMPDIR ?? tmpdir(), 'web-till-'));
    this.journal = join(this.folder, 'journal.db');
    if (copyOf) {
      for (const file of ['journal.db', 'journal.db-wal', 'journal.db-head']) {
        if (existsSync(join(copyOf, file))) copyFileSync(join(copyOf, file), join(this.folder, file));
      }
    } else {
      runOrThrow(['staff', 'add', 'Ana', '--role', 'manager', '--journal', this.journal],
                 '2468\n2468\n');
      runOrThrow(['staff', 'add', 'Bo', '--journal', this.journal], '1357\n1357\n');
      for (const [key, value] of Object.entries(restaurant)) {
        runOrThrow(['settings', key, value, '--journal', this.journal]);
      }
    }
    if (menu) {
      writeFileSync(join(this.folder, 'menu.csv'), menu);
      runOrThrow(['menu', 'import', join(this.folder, 'menu.csv'), '--journal', this.journal]);
    }
    this.port = 0;
  }

  // Resolves once the server says where it listens.
  start() {
    this.process = spawn(program, ['serve', '--listen', `127.0.0.1:${this.port}`,
                                   '--journal', this.journal, ...this.serving],
                         { stdio: ['ignore', 'pipe', 'inherit'] });
    return new Promise((resolve, reject) => {
      const timer = setTimeout(() => reject(new Error('the server did not start in 10 s')), 10000);
      let said = '';
      this.process.stdout.on('data', (chunk) => {
        said += chunk;
        const found = said.match(/http:\/\/127\.0\.0\.1:(\d+)\//);
        if (found) {
          clearTimeout(timer);
          this.port = Number(found[1]);
          this.url = `http://127.0.0.1:${this.port}/`;
          resolve(this.url);
        }
      });
      this.process.on('exit', (code) => reject(new Error(`the server ended with ${code}`)));
    });
  }

  stop(signal = 'SIGTERM') {
    return new Promise((resolve) => {
      if (this.process.exitCode !== null || this.process.signalCode !== null) {
        resolve();
        return;
      }
      this.process.once('exit', () => resolve());
      this.process.kill(signal);
    });
  }
}

// Debian's Chromium, headless, with nothing of its own that reaches out.
export function launchBrowser() {
  return chromium.launch({
    executablePath: process.env.CHROMIUM_PATH ?? '/usr/bin/chromium',
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
    timeout: 30000,
  });
}

// Starts the server and a browser before a file's tests, and stops both
// after them; `held.browser` is the browser meanwhile.
export function servedInABrowser(server) {
  const held = {};
  before(async () => {
    await server.start();
    held.browser = await launchBrowser();
  });
  after(async () => {
    await held.browser?.close();
    await server.stop();
  });
  return held;
}
