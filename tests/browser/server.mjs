// Starts `restaurant serve` on loopback with a journal of its own, and a
// member of staff, Ana, PIN 2468; stops and restarts it on the same port.
import { spawn, spawnSync } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const program = process.env.RESTAURANT_PATH;

export class TillServer {
  constructor() {
    this.folder = mkdtempSync(join(process.env.TEST_TMPDIR ?? tmpdir(), 'web-till-'));
    this.journal = join(this.folder, 'journal.db');
    const added = spawnSync(program, ['staff', 'add', 'Ana', '--journal', this.journal],
                            { input: '2468\n2468\n', encoding: 'utf8' });
    if (added.status !== 0) throw new Error(`staff add failed: ${added.stderr}`);
    this.port = 0;
  }

  // Resolves once the server says where it listens.
  start() {
    this.process = spawn(program, ['serve', '--listen', `127.0.0.1:${this.port}`,
                                   '--journal', this.journal], { stdio: ['ignore', 'pipe', 'inherit'] });
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
