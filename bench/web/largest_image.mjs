// The largest image (65,535 bytes) through the page in headless Chromium and in headless Firefox,
// against the simulated controller behind the stand-in Web MIDI device answering at once. Prints
// for each browser the wall time from the press of the button to the outcome, on the page's
// clock, against the pacing floor (1 ms after every frame sent), in one run; the same update with
// the page's thread kept busy, and in Chromium with its CPU slowed 6 times: the wall time, the
// frames sent and the records the controller dropped half-received; and what the page's program
// weighs on the wire, gzipped. What every update costs whatever its size (the program's start,
// MIDI access with the stand-in's own module, the identification, the quiet before the outcome)
// is measured on a one-record image, so that the pace of the transfer itself shows apart.
// Needs build/web (scripts/build-web.sh) and tests/web's npm packages.
//   node bench/web/largest_image.mjs
import { execFileSync } from 'node:child_process';
import { mkdtemp, readFile, rm } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { gzipSync } from 'node:zlib';
import { launchBrowser, PAGE_DIR, readImage, runPage, STANDIN_DIR } from '../../tests/web/page_run.mjs';
import { serve } from '../../tests/web/static_server.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');

async function largestImage() {
  const folder = await mkdtemp(join(tmpdir(), 'tambrell-bench-'));
  const path = join(folder, 'quillstrand_max.kit');
  execFileSync(join(ROOT, 'scripts/guest/make-largest-image.sh'), [path]);
  const image = await readImage(path);
  await rm(folder, { recursive: true });
  return image;
}

// One record of 4 bytes: one frame.
const ONE_RECORD = { name: 'quillstrand_one.kit', bytes: Buffer.from('00 04 12 34 BA FF\r\n') };
// The page's thread busy for 40 ms every 150 ms from the press of the button on.
const BUSY = [150, 40];
const SLOW_CPU = 6;

// `times` runs of one update in one browser; the one of median wall time.
async function timedRun(server, image, browserName, load = {}, times = 1) {
  const browser = await launchBrowser(browserName);
  try {
    const runs = [];
    for (let run = 0; run < times; run += 1) {
      const shown = await runPage(browser, server.origin, { image, sim: '', ...load });
      const frames = shown.report.split('\n').filter((line) => line.startsWith('frame ')).length;
      const dropped = Number(/^dropped-records (\d+)$/m.exec(shown.report)?.[1]);
      if (!shown.console.includes('Target update successfully!')) throw new Error(shown.console);
      runs.push({ ...shown, frames, dropped });
    }
    return runs.sort((a, b) => a.wallMs - b.wallMs)[Math.floor(times / 2)];
  } finally {
    await browser.close();
  }
}

function quietLine(label, run, fixed) {
  const wall = Math.round(run.wallMs);
  const paced = (run.wallMs - fixed.wallMs) / (run.frames - fixed.frames);
  return `${label}: wall ${wall} ms, pacing floor ${run.frames} ms (${run.frames} frames sent), ` +
    `ratio ${(wall / run.frames).toFixed(3)}; beyond a one-record update's ` +
    `${Math.round(fixed.wallMs)} ms (median of 5), ratio ${paced.toFixed(3)}`;
}

function loadedLine(label, run) {
  return `${label}: wall ${Math.round(run.wallMs)} ms, ${run.frames} frames sent, ` +
    `${run.dropped} records dropped`;
}

async function gzipped(file) {
  const bytes = await readFile(join(PAGE_DIR, file));
  return `${file} ${bytes.length} bytes (${gzipSync(bytes, { level: 9 }).length} gzipped)`;
}

const server = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR });
try {
  const image = await largestImage();
  for (const browserName of ['chromium', 'firefox']) {
    const label = `largest image (65535 bytes), ${browserName}`;
    const fixed = await timedRun(server, ONE_RECORD, browserName, {}, 5);
    console.log(quietLine(label, await timedRun(server, image, browserName), fixed));
    console.log(loadedLine(`${label}, page busy ${BUSY[1]} ms every ${BUSY[0]} ms`,
      await timedRun(server, image, browserName, { busy: BUSY })));
    if (browserName === 'chromium') {
      console.log(loadedLine(`${label}, CPU slowed ${SLOW_CPU}x`,
        await timedRun(server, image, browserName, { slowCpu: SLOW_CPU })));
    }
  }
  console.log(`transfer size: ${await gzipped('tambrell-update.wasm')}, ` +
    `${await gzipped('tambrell-update.js')}`);
} finally {
  server.close();
}
