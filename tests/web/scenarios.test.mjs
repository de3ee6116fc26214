// The page in headless Chromium, through its own controls, against the simulated controller
// behind the stand-in Web MIDI device. Each scenario is also run by the Linux program on the
// simulated service with the same TAMBRELL_SIM script (its twin): the page's console must show
// what a terminal shows of the twin's output, byte for byte, the controller must have received
// the same frames and hold the same flash, and the outcome shown must be the one of the twin's
// exit status. The page's own words are checked where the program has none.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdir, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchBrowser, PAGE_DIR, readImage, runPage, STANDIN_DIR } from './page_run.mjs';
import { serve } from './static_server.mjs';
import { NOTICES, outcomeOf } from '../../web/words.js';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const TWIN = join(ROOT, 'build/native/sim/tambrell-update-sim');
const SCREENSHOT = join(ROOT, 'build/web/screenshots/after-update.png');

const sample = await readImage(join(ROOT, 'examples/quillstrand_v1.2.kit'));
const badImage = { name: 'quillstrand_bad.kit', bytes: Buffer.from('00 04 12 34 BA FE\r\n') };
const misnamed = { name: 'firmware_v1.2.kit', bytes: sample.bytes };
const longName = 'quillstrand MIDI interface with a long name';
const devices = (names) => `in=${names}; out=${names}`;

// name, image, the stand-in's script, the twin's script where it differs, how the page is used.
// Frame 600 is within record 100 of the sample image (frame 1 is the identification request).
const COMPARED = [
  { name: 'update', image: sample, sim: '', keyboard: true, screenshot: SCREENSHOT },
  { name: 'no device', image: sample, sim: devices('') },
  { name: 'two devices', image: sample, sim: devices('quillstrand MIDI,quillstrand MIDI') },
  { name: 'another model', image: sample, sim: 'model=35' },
  { name: 'refusals', image: sample, sim: 'reply=50.1:20; reply=50.2:21' },
  { name: 'silent device, leaving asked about', image: sample, sim: 'ident-silent=always', leave: true },
  { name: 'unplugged in the middle of a record', image: sample, sim: 'unplug=600' },
  {
    // A port that has just gone may still read `connected` for a moment: its send throws all the
    // same, and the page says what the program says of an unplugged controller.
    name: 'a send that throws while the port reads connected',
    image: sample,
    sim: '',
    standInFault: [sendThrowsFrom, 600],
    twin: 'unplug=600',
  },
  // An answer cut short by the next one comes back as Windows hands it back, and is no answer.
  { name: 'a SysEx cut short', image: sample, sim: 'before=50.1:F0 20; slow=50.1:5' },
  { name: 'bad image, dropped', image: badImage, sim: '', drop: true },
  { name: 'name that does not fit', image: misnamed, sim: '' },
  {
    // The system's loopback port is no device; names are cut to 31 characters.
    name: 'loopback port and a long device name',
    image: sample,
    sim: `${devices(`Midi Through Port-0,${longName}`)}; controller=${longName}`,
    twin: `${devices(longName)}; controller=${longName}`,
  },
];

// In the page: from the `frame`-th send on, every output's send throws as Web MIDI's does for a
// vanished port, while the port still reads `connected`.
function sendThrowsFrom(frame) {
  const request = Navigator.prototype.requestMIDIAccess;
  Object.defineProperty(Navigator.prototype, 'requestMIDIAccess', {
    configurable: true,
    value: async function requestMIDIAccess(options) {
      const access = await request.call(this, options);
      let sent = 0;
      for (const port of access.outputs.values()) {
        const send = port.send;
        port.send = (data) => {
          if (++sent >= frame) throw new DOMException('The port is disconnected.', 'InvalidStateError');
          send(data);
        };
      }
      return access;
    },
  });
}

const PAGE_WORDS = [
  { name: 'no Web MIDI', options: { noWebMidi: true }, notice: NOTICES.noWebMidi },
  // The browser's own Web MIDI, asked without the permission granted: it refuses.
  { name: 'access refused', options: { grant: false }, notice: NOTICES.refused },
  { name: 'not a secure context', options: { insecure: true, grant: false }, notice: NOTICES.insecure },
];

// The controller's clock is the browser's real one, its twin's the simulated service's: a stall
// of a busy machine between two frames of a record would make the controller drop the record
// half-received after its 20 ms (the page then sends it again, as it should), where the twin
// never stalls. The scenarios are not about that patience, so it is long on both sides.
const STEADY = 'resync=60000; ';

// What a terminal shows of `text`: a carriage return sends the cursor to the start of the line,
// and what follows writes over what is there.
function asTerminalShows(text) {
  const rows = [[]];
  let column = 0;
  for (const character of text) {
    if (character === '\r') {
      column = 0;
    } else if (character === '\n') {
      rows.push([]);
      column = 0;
    } else {
      const row = rows[rows.length - 1];
      while (row.length < column) row.push(' ');
      row[column++] = character;
    }
  }
  return rows.map((row) => row.join('')).join('\n');
}

// The frames the controller received and its flash, from a run report.
function deviceSide(report) {
  return report.split('\n').filter((line) => /^(frame|flash) /.test(line)).join('\n');
}

async function runTwin(image, script) {
  const folder = await mkdtemp(join(tmpdir(), 'tambrell-web-twin-'));
  try {
    await writeFile(join(folder, image.name), image.bytes);
    const run = spawnSync(TWIN, [], {
      cwd: folder,
      stdio: ['ignore', 'pipe', 'inherit'],
      env: {
        ...process.env,
        TAMBRELL_SIM: `clock=virtual; ${script}`,
        TAMBRELL_SIM_REPORT: join(folder, 'report.txt'),
      },
    });
    return {
      console: run.stdout.toString(),
      status: run.status,
      report: await readFile(join(folder, 'report.txt'), 'utf8'),
    };
  } finally {
    await rm(folder, { recursive: true, force: true });
  }
}

let server;
let browser;

before(async () => {
  server = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR });
  browser = await launchBrowser();
  await mkdir(dirname(SCREENSHOT), { recursive: true });
});

after(async () => {
  await browser?.close();
  server?.close();
});

// 200 % zoom of a 1280-pixel-wide window.
const ZOOMED = { width: 640, height: 900 };

function expectPageHealthy(shown) {
  assert.deepEqual(shown.elsewhere, [], 'nothing is loaded from another site');
  assert.equal(shown.overflows, false, 'nothing is wider than the window at 200 % zoom');
}

for (const scenario of COMPARED) {
  test(scenario.name, async () => {
    const twin = await runTwin(scenario.image, STEADY + (scenario.twin ?? scenario.sim));
    const shown = await runPage(browser, server.origin,
      { ...scenario, sim: STEADY + scenario.sim, viewport: ZOOMED });
    assert.equal(shown.console, asTerminalShows(twin.console));
    assert.equal(deviceSide(shown.report), deviceSide(twin.report));
    assert.equal(shown.outcome, outcomeOf(twin.status).text);
    const percents = [...shown.console.matchAll(/(\d+)% done/g)];
    assert.equal(shown.progress, percents.length ? Number(percents.at(-1)[1]) : 0, 'progress bar');
    assert.equal(shown.notice, '');
    if (scenario.leave) assert.ok(shown.askedBeforeLeaving, 'leaving during the update is asked about');
    expectPageHealthy(shown);
  });
}

for (const scenario of PAGE_WORDS) {
  test(scenario.name, async () => {
    const shown = await runPage(browser, server.origin,
      { image: sample, viewport: ZOOMED, ...scenario.options });
    assert.equal(shown.notice, scenario.notice);
    assert.equal(shown.console, '');
    assert.equal(shown.outcome, '');
    expectPageHealthy(shown);
  });
}
