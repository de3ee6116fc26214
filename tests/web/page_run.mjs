// Runs the page in a headless browser (Chromium, or Firefox when TAMBRELL_BROWSER=firefox) as a
// person would: choose (or drop) the image, or take the one the page offers, press the button,
// wait for the outcome; then reads what the page shows. Against the simulated controller behind
// the stand-in Web MIDI device when given a TAMBRELL_SIM script, else against the browser's own
// Web MIDI (for a machine with a real MIDI device).
//
// As a program, for a machine with a real device:
//   node tests/web/page_run.mjs IMAGE OUT_DIR
// writes OUT_DIR/console.txt (the console panel's text), OUT_DIR/outcome.txt (the outcome or the
// notice shown) and OUT_DIR/page.png.
import { mkdir, readFile, writeFile } from 'node:fs/promises';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { BROWSERS, INSECURE_HOST } from './browsers.mjs';
import { serve } from './static_server.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const PAGE_DIR = join(ROOT, 'build/web/page');
export const STANDIN_DIR = join(ROOT, 'build/web/standin');
const AXE = join(ROOT, 'tests/web/node_modules/axe-core/axe.min.js');
// Generous: an emulated CPU (the guest's) takes tens of seconds to load the page and a minute for
// an update.
const RUN_TIMEOUT_MS = 300000;

// `name`: chromium or firefox; by default TAMBRELL_BROWSER's, else chromium.
export async function launchBrowser(name = process.env.TAMBRELL_BROWSER ?? 'chromium') {
  const kind = BROWSERS[name];
  if (!kind) throw new Error(`no browser named ${name}`);
  const browser = await kind.launch();
  return { kind, browser, close: () => browser.close() };
}

// A page served to this browser for one run; a page that is not a secure context is served at a
// host name of no real site, which the browser resolves to this machine.
async function openPage({ kind, browser }, origin,
  { sim, grant, noWebMidi, insecure, viewport, standInFault, busy, wait }) {
  const pageOrigin = insecure ? origin.replace('127.0.0.1', INSECURE_HOST) : origin;
  const initScripts = [];
  if (noWebMidi) {
    // As in a browser without Web MIDI.
    initScripts.push([() => delete Navigator.prototype.requestMIDIAccess]);
  }
  if (sim !== undefined && sim !== null) {
    initScripts.push([(script) => { window.TAMBRELL_SIM = script; }, sim]);
    initScripts.push([{ path: join(STANDIN_DIR, 'standin_midi.js') }]);
    if (standInFault) initScripts.push(standInFault);
  }
  initScripts.push([() => {
    // The run's wall time on the page's own clock: from the press of the button to the outcome.
    addEventListener('click', (event) => {
      if (event.target.id === 'start') window.pressedAt ??= performance.now();
    }, true);
    addEventListener('DOMContentLoaded', () => new MutationObserver(() => {
      window.outcomeAt ??= performance.now();
    }).observe(document.getElementById('outcome'), { childList: true }));
    // How often the page asked for MIDI access.
    window.midiRequests = 0;
    const request = Navigator.prototype.requestMIDIAccess;
    if (request) {
      Object.defineProperty(Navigator.prototype, 'requestMIDIAccess', {
        configurable: true,
        value(...args) {
          window.midiRequests += 1;
          return request.apply(this, args);
        },
      });
    }
  }]);
  if (busy) {
    // From the press of the button on, the page's thread is busy for `forMs` every `everyMs`.
    initScripts.push([([everyMs, forMs]) => addEventListener('click', (event) => {
      if (event.target.id !== 'start' || window.busyTimer) return;
      window.busyTimer = setInterval(() => {
        const until = performance.now() + forMs;
        while (performance.now() < until);
      }, everyMs);
    }, true), busy]);
  }
  const opened = await kind.newPage(browser, {
    viewport: viewport ?? { width: 1000, height: 900 },
    grantOrigin: grant ? pageOrigin : null,
    initScripts,
    timeout: RUN_TIMEOUT_MS,
  });
  const { page } = opened;
  const elsewhere = [];
  const failed = [];
  page.on('request', (request) => {
    if (!request.url().startsWith(pageOrigin)) elsewhere.push(request.url());
  });
  page.on('requestfailed', (request) => failed.push(request.url()));
  page.on('response', (response) => {
    if (response.status() >= 400) failed.push(`${response.status()} ${response.url()}`);
  });
  await page.goto(`${pageOrigin}/${wait === undefined ? '' : `?wait=${wait}`}`);
  return { ...opened, elsewhere, failed };
}

async function dropImage(page, image) {
  await page.evaluate(({ name, bytes }) => {
    const data = new DataTransfer();
    data.items.add(new File([new Uint8Array(bytes)], name));
    document.getElementById('drop-zone').dispatchEvent(
      new DragEvent('drop', { dataTransfer: data, bubbles: true, cancelable: true }));
  }, { name: image.name, bytes: [...image.bytes] });
}

// The accessibility audit's violations, each as its rule and the elements it found.
async function audit(page) {
  await page.evaluate(await readFile(AXE, 'utf8'));
  return page.evaluate(async () => (await window.axe.run()).violations.map((violation) =>
    `${violation.id}: ${violation.nodes.map((node) => node.target.join(' ')).join(', ')}`));
}

// Runs one update. Options:
//   image     {name, bytes}: the file the person chooses (none: nothing is chosen)
//   pick      the index of the offered version to pick (none: the page's choice)
//   sim       the TAMBRELL_SIM script of the stand-in device; undefined: the browser's Web MIDI
//   wait      the page address's `wait` parameter: how long the updater waits for the controller
//   grant     allow MIDI with SysEx for the page without asking (default true)
//   noWebMidi a browser without Web MIDI;  insecure: the page at an address that is not secure
//   drop      drop the file instead of choosing it;  keyboard: press the button twice from the
//             keyboard;  leave: try to leave the page while the update runs
//   audit     run the accessibility audit once the run has ended
//   screenshot  a PNG file of the page after the run;  viewport {width, height}
//   standInFault  [function, argument]: run in the page after the stand-in is set up, to bend it
//   busy      [everyMs, forMs]: from the press of the button on, the page's thread busy for forMs
//             every everyMs;  slowCpu: the CPU slowed that many times (Chromium);  otherWindow:
//             another window opens the page once the transfer has begun (Chromium)
// Resolves to what the page shows: console, outcome and its style, notice, the firmware offered,
// where the focus is; the device's report, the ports left open and the sends the stand-in found
// at fault (stand-in only); how often MIDI access was asked for; requests to other sites and
// requests that failed; whether leaving was asked about; the audit's violations; the wall time
// from the press of the button to the outcome, as the page's clock measures it.
export async function runPage(browser, origin, options) {
  const { image, pick, keyboard, leave, screenshot } = options;
  const opened = await openPage(browser, origin, { grant: true, ...options });
  const { page, waitFor, elsewhere, failed } = opened;
  try {
    if (image && options.drop) await dropImage(page, image);
    else if (image) await opened.chooseFile(image);
    // Without a file of one's own, the firmware the page offers once its list has come.
    if (!image) await waitFor(() => !document.getElementById('offered').hidden);
    if (pick !== undefined) {
      await page.evaluate((index) => {
        const list = document.getElementById('version');
        list.value = index;
        list.dispatchEvent(new Event('change'));
      }, String(pick));
    }
    const enabled = await page.evaluate(() => !document.getElementById('start').disabled);
    if (enabled && keyboard) {
      await page.focus('#start');
      await page.keyboard.press('Enter');
      await page.keyboard.press('Enter');
    } else if (enabled) {
      if (options.slowCpu) await opened.slowCpu(options.slowCpu);
      await page.click('#start');
    }
    if (options.otherWindow) {
      await waitFor(() => document.getElementById('console').textContent.includes('Transferring'));
      await opened.openAnother(`${origin}/`);
    }
    let askedBeforeLeaving = false;
    if (leave) {
      page.once('dialog', (dialog) => {
        askedBeforeLeaving = dialog.type() === 'beforeunload';
        dialog.dismiss();
      });
      await waitFor(() => document.getElementById('console').textContent.includes('MIDI OUT DEVICE'));
      await page.close({ runBeforeUnload: true });
    }
    await waitFor(() => !!document.getElementById('outcome').textContent ||
      !document.getElementById('notice').hidden);
    const shown = await page.evaluate(() => {
      const element = (id) => document.getElementById(id);
      const text = (id) => (element(id).hidden ? '' : element(id).textContent);
      return {
        console: element('console').textContent,
        outcome: element('outcome').textContent,
        style: element('outcome').className,
        notice: text('notice'),
        offered: text('offered') && `${text('offered-summary')} ${text('offered-notes')}`,
        focused: document.activeElement.id,
        progress: element('progress').value,
        report: window.standInMidi ? window.standInMidi.report() : '',
        openPorts: window.standInMidi ? window.standInMidi.openPorts() : [],
        standInFaults: window.standInMidi ? window.standInMidi.faults() : [],
        midiRequests: window.midiRequests,
        overflows: document.documentElement.scrollWidth > document.documentElement.clientWidth,
        consoleCut: element('console').scrollWidth > element('console').clientWidth,
        wallMs: window.outcomeAt - window.pressedAt,
      };
    });
    const violations = options.audit ? await audit(page) : [];
    if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
    return { ...shown, elsewhere, failed, violations, askedBeforeLeaving };
  } finally {
    await opened.close();
  }
}

export async function readImage(path) {
  return { name: basename(path), bytes: await readFile(path) };
}

async function main([imagePath, outDir]) {
  if (!imagePath || !outDir) {
    console.error('usage: node tests/web/page_run.mjs IMAGE OUT_DIR');
    process.exit(64);
  }
  const server = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR });
  const browser = await launchBrowser();
  try {
    await mkdir(outDir, { recursive: true });
    const shown = await runPage(browser, server.origin,
      { image: await readImage(imagePath), screenshot: join(outDir, 'page.png') });
    await writeFile(join(outDir, 'console.txt'), shown.console);
    await writeFile(join(outDir, 'outcome.txt'), `${shown.notice || shown.outcome}\n`);
  } finally {
    await browser.close();
    server.close();
  }
}

if (process.argv[1] === fileURLToPath(import.meta.url)) await main(process.argv.slice(2));
