// The largest image (65,535 bytes) through the page in headless Chromium and in headless Firefox,
// against the simulated controller behind the stand-in Web MIDI device answering at once. Prints
// for each browser the wall time from the press of the button to the outcome, on the page's
// clock, against the pacing floor (1 ms after every frame sent), in one run, and what the page's
// program weighs on the wire, gzipped.
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

async function timedRun(server, image, browserName) {
  const browser = await launchBrowser(browserName);
  try {
    const shown = await runPage(browser, server.origin, { image, sim: '' });
    const frames = shown.report.split('\n').filter((line) => line.startsWith('frame ')).length;
    if (!shown.console.includes('Target update successfully!')) throw new Error(shown.console);
    return { ...shown, frames };
  } finally {
    await browser.close();
  }
}

function line(label, run) {
  const wall = Math.round(run.wallMs);
  return `${label}: wall ${wall} ms, pacing floor ${run.frames} ms (${run.frames} frames sent), ` +
    `ratio ${(wall / run.frames).toFixed(3)}`;
}

async function gzipped(file) {
  const bytes = await readFile(join(PAGE_DIR, file));
  return `${file} ${bytes.length} bytes (${gzipSync(bytes, { level: 9 }).length} gzipped)`;
}

const server = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR });
try {
  const image = await largestImage();
  for (const browserName of ['chromium', 'firefox']) {
    console.log(line(`largest image (65535 bytes), ${browserName}`,
      await timedRun(server, image, browserName)));
  }
  console.log(`transfer size: ${await gzipped('tambrell-update.wasm')}, ` +
    `${await gzipped('tambrell-update.js')}`);
} finally {
  server.close();
}
