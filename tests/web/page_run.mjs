// Runs the page in headless Chromium as a person would: choose (or drop) the image, press the
// button, wait for the outcome; then reads what the page shows. Against the simulated controller
// behind the stand-in Web MIDI device when given a TAMBRELL_SIM script, else against the browser's
// own Web MIDI (for a machine with a real MIDI device).
//
// As a program, for a machine with a real device:
//   node tests/web/page_run.mjs IMAGE OUT_DIR
// writes OUT_DIR/console.txt (the console panel's text), OUT_DIR/outcome.txt (the outcome or the
// notice shown) and OUT_DIR/page.png.
import { chromium } from 'playwright-core';
import { mkdir, readFile, writeFile } from 'node:fs/promises';
import { basename, dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { serve } from './static_server.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
export const PAGE_DIR = join(ROOT, 'build/web/page');
export const STANDIN_DIR = join(ROOT, 'build/web/standin');
const CHROMIUM = '/usr/lib/chromium/chromium';
// Run as root on a machine whose network is closed: no sandbox, nothing fetched in the background.
const FLAGS = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];
// Generous: an emulated CPU (the guest's) takes tens of seconds to load the page and a minute for
// an update.
const RUN_TIMEOUT_MS = 300000;

export function launchBrowser(options = {}) {
  return chromium.launch({ executablePath: CHROMIUM, args: FLAGS, ...options });
}

// A page served to this browser for one run; `origin` replaces the real server's (a page that is
// not a secure context is served at an address of no real host, by the browser's request routing).
async function openPage(browser, origin, { sim, grant, noWebMidi, insecure, viewport, standInFault }) {
  const context = await browser.newContext({ viewport: viewport ?? { width: 1000, height: 900 } });
  context.setDefaultTimeout(RUN_TIMEOUT_MS);
  let pageOrigin = origin;
  if (insecure) {
    pageOrigin = 'http://updater.example';
    await context.route(`${pageOrigin}/**`, async (route) => {
      const url = new URL(route.request().url());
      route.fulfill({ response: await context.request.get(origin + url.pathname) });
    });
  }
  if (grant) await context.grantPermissions(['midi', 'midi-sysex'], { origin: pageOrigin });
  if (noWebMidi) {
    // As in a browser without Web MIDI.
    await context.addInitScript(() => delete Navigator.prototype.requestMIDIAccess);
  }
  if (sim !== undefined && sim !== null) {
    await context.addInitScript((script) => { window.TAMBRELL_SIM = script; }, sim);
    await context.addInitScript({ path: join(STANDIN_DIR, 'standin_midi.js') });
    if (standInFault) await context.addInitScript(...standInFault);
  }
  await context.addInitScript(() => {
    // The run's wall time on the page's own clock: from the press of the button to the outcome.
    addEventListener('click', (event) => {
      if (event.target.id === 'start') window.pressedAt ??= performance.now();
    }, true);
    addEventListener('DOMContentLoaded', () => new MutationObserver(() => {
      window.outcomeAt ??= performance.now();
    }).observe(document.getElementById('outcome'), { childList: true }));
  });
  const page = await context.newPage();
  const elsewhere = [];
  page.on('request', (request) => {
    if (!request.url().startsWith(pageOrigin)) elsewhere.push(request.url());
  });
  await page.goto(`${pageOrigin}/`);
  return { context, page, elsewhere };
}

async function chooseImage(page, image, drop) {
  if (drop) {
    const transfer = await page.evaluateHandle(({ name, bytes }) => {
      const data = new DataTransfer();
      data.items.add(new File([new Uint8Array(bytes)], name));
      return data;
    }, { name: image.name, bytes: [...image.bytes] });
    await page.dispatchEvent('#drop-zone', 'drop', { dataTransfer: transfer });
  } else {
    const chooser = page.waitForEvent('filechooser');
    await page.getByText('Choose the file').click();
    await (await chooser).setFiles({ name: image.name, mimeType: 'text/plain', buffer: image.bytes });
  }
}

// Runs one update. Options:
//   image     {name, bytes}: the file the person chooses (none: nothing is chosen)
//   sim       the TAMBRELL_SIM script of the stand-in device; undefined: the browser's Web MIDI
//   grant     allow MIDI with SysEx for the page without asking (default true)
//   noWebMidi a browser without Web MIDI;  insecure: the page at an address that is not secure
//   drop      drop the file instead of choosing it;  keyboard: press the button twice from the
//             keyboard;  leave: try to leave the page while the update runs
//   screenshot  a PNG file of the page after the run;  viewport {width, height}
//   standInFault  [function, argument]: run in the page after the stand-in is set up, to bend it
// Resolves to what the page shows: console, outcome, notice; the device's report (stand-in only);
// requests to other sites; whether leaving was asked about; the wall time from the press of the
// button to the outcome, as the page's clock measures it.
export async function runPage(browser, origin, options) {
  const { image, keyboard, leave, screenshot } = options;
  const { context, page, elsewhere } = await openPage(browser, origin, { grant: true, ...options });
  try {
    if (image) await chooseImage(page, image, options.drop);
    const start = page.locator('#start');
    if (await start.isEnabled() && keyboard) {
      await start.focus();
      await page.keyboard.press('Enter');
      await page.keyboard.press('Enter');
    } else if (await start.isEnabled()) {
      await start.click();
    }
    let askedBeforeLeaving = false;
    if (leave) {
      page.once('dialog', (dialog) => {
        askedBeforeLeaving = dialog.type() === 'beforeunload';
        dialog.dismiss();
      });
      await page.locator('#console', { hasText: 'MIDI OUT DEVICE' }).waitFor();
      await page.close({ runBeforeUnload: true });
    }
    await page.waitForFunction(() => !!document.getElementById('outcome').textContent ||
      !document.getElementById('notice').hidden, null, { timeout: RUN_TIMEOUT_MS });
    const shown = await page.evaluate(() => ({
      console: document.getElementById('console').textContent,
      outcome: document.getElementById('outcome').textContent,
      notice: document.getElementById('notice').hidden ? '' : document.getElementById('notice').textContent,
      progress: document.getElementById('progress').value,
      report: window.standInMidi ? window.standInMidi.report() : '',
      overflows: document.documentElement.scrollWidth > document.documentElement.clientWidth,
      wallMs: window.outcomeAt - window.pressedAt,
    }));
    if (screenshot) await page.screenshot({ path: screenshot, fullPage: true });
    return { ...shown, elsewhere, askedBeforeLeaving };
  } finally {
    await context.close();
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
