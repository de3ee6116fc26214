// The page in a headless browser (Chromium; Firefox when TAMBRELL_BROWSER=firefox), through its
// own controls, against the simulated controller behind the stand-in Web MIDI device. Each
// scenario is also run by the Linux program on the simulated service with the same TAMBRELL_SIM
// script (its twin): the page's console must show what a terminal shows of the twin's output,
// byte for byte, and the controller must have received the same frames and hold the same flash.
// What the page tells the person, and in which style, is held here word for word.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdir, mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import { launchBrowser, PAGE_DIR, readImage, runPage, STANDIN_DIR } from './page_run.mjs';
import { INSECURE_HOST } from './browsers.mjs';
import { serve } from './static_server.mjs';

const ROOT = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const TWIN = join(ROOT, 'build/native/backends/sim/tambrell-update-sim');
const BROWSER = process.env.TAMBRELL_BROWSER ?? 'chromium';
const SCREENSHOT = join(ROOT, `build/web/screenshots/after-update-${BROWSER}.png`);

const sample = await readImage(join(ROOT, 'examples/quillstrand_v1.2.kit'));
const badImage = { name: 'quillstrand_bad.kit', bytes: Buffer.from('00 04 12 34 BA FE\r\n') };
const misnamed = { name: 'firmware_v1.2.kit', bytes: sample.bytes };
const longName = 'quillstrand MIDI interface with a long name';
const devices = (names) => `in=${names}; out=${names}`;
// The sample image's size in bytes: the controller that knows it restarts after the last record.
const sampleSize = sample.bytes.toString('latin1').trim().split(/\s+/).length;
// Plugged in late, and back from its restart after the update before the tool looks at the list.
const backSoon = `plug-in=1000; restart=50:500; size=${sampleSize}`;

// An image of `count` records of `size` bytes each, every one different.
function records(count, size) {
  const bytes = [];
  for (let r = 0; r < count; r += 1) {
    const payload = Array.from({ length: size - 4 }, (_, i) => (r * 31 + i * 7) & 0xFF);
    const checksum = (0x10000 - (payload.reduce((sum, byte) => sum + byte, 0) & 0xFFFF)) & 0xFFFF;
    bytes.push((size - 2) >> 8, (size - 2) & 0xFF, ...payload, checksum & 0xFF, checksum >> 8);
  }
  const lines = [];
  for (let i = 0; i < bytes.length; i += 16) {
    lines.push(bytes.slice(i, i + 16).map((byte) => byte.toString(16).toUpperCase().padStart(2, '0'))
      .join(' '));
  }
  return { name: `quillstrand_${count}x${size}.kit`, bytes: Buffer.from(`${lines.join('\r\n')}\r\n`) };
}

// The firmware a maker offers beside the page, newest first; and the same list with the newest
// image's SHA-256 wrong.
const newest = { name: 'quillstrand_v1.3.kit', bytes: sample.bytes };
const older = { name: 'quillstrand_v1.1.kit', bytes: Buffer.from('00 04 12 34 BA FF\r\n') };
const sha256 = (bytes) => createHash('sha256').update(bytes).digest('hex');
const listed = [
  { file: newest.name, version: '1.3', date: '2026-11-30', sha256: sha256(newest.bytes),
    notes: 'Faster pads.' },
  { file: older.name, version: '1.1', date: '2026-03-02', sha256: sha256(older.bytes) },
];
const FIRMWARE = {
  offering: listed,
  tampered: [{ ...listed[0], sha256: sha256(older.bytes) }, listed[1]],
};

const UPDATED = { style: 'success', says: 'The controller was updated.' };
const PART_WAY = {
  style: 'failure',
  says: 'The update stopped part-way: the controller may now hold part of the new firmware. ' +
    'Connect it again, alone, and run the update again before you use it.',
};
const TOO_LATE = {
  style: 'failure',
  says: 'The controller answered too late, so the update stopped. It may now hold part of the ' +
    'new firmware: run the update again before you use it.',
};
const IMAGE_REFUSED = { midiRequests: 0 };
const NO_DEVICE = {
  style: 'failure',
  says: 'No controller answered. Connect it to this computer with its USB cable; if it is ' +
    'connected, close other music programs, unplug it and plug it in again. Then press Start ' +
    'the update again.',
};
const BACK = {
  style: 'success',
  says: 'The controller was updated and is back and answering: you can use it now.',
};
const MANY = {
  style: 'failure',
  says: 'More than one controller answered. Disconnect every controller but the one to update, ' +
    'then press Start the update again.',
};

// name, image, the stand-in's script, the twin's script where it differs, how the page is used,
// what the page says and in which style. Frame 600 is within record 100 of the sample image
// (frame 1 is the identification request). Every outcome the page words (web/words.js) ends one
// of them, so that a changed message of the program, which the page reads, fails here. `wait`:
// the page's parameter and the twin's --wait (the tool's 30 s without); 0 where a scenario about
// something else would wait for the controller. `asksAgain`: the controller is asked who it is
// again and again while it restarts, as often as the time the page takes allows.
const COMPARED = [
  { name: 'update', image: sample, sim: '', keyboard: true, screenshot: SCREENSHOT, audit: true,
    ...UPDATED },
  {
    name: 'updated, the controller restarting', image: sample, sim: `size=${sampleSize}`, wait: 0,
    style: 'success',
    says: 'The controller was updated and is restarting. Wait until it has started again before ' +
      'you use it.',
  },
  {
    // The identification request cannot be sent: the controller is there but out of reach.
    name: 'a send that throws from the first frame', image: sample, sim: '',
    standInFault: [sendThrowsFrom, 1], twin: 'unplug=1', style: 'failure',
    says: 'The controller could not be reached over MIDI. Close other music programs, unplug the ' +
      'controller, plug it in again, then press Start the update again.',
  },
  { name: 'no device', image: sample, sim: devices(''), wait: 0, ...NO_DEVICE },
  // The controller's input held by another program: its port refuses to open.
  {
    name: 'the controller\'s input held by another program', image: sample,
    sim: 'preset=windows11; fail-open=in:3', wait: 0, ...NO_DEVICE,
  },
  // The loopbacks of a Windows 11 PC of today, which send the question back: each is asked who it
  // is, and nothing more.
  { name: 'the loopbacks of a Windows 11 PC', image: sample, sim: 'preset=windows11', ...UPDATED },
  // Found by the search, whose close of the controller's ports takes effect late, as the browser's
  // do: an answer that came meanwhile was lost and its record written twice.
  {
    name: 'a slow controller among a Windows 11 PC\'s loopbacks', image: sample,
    sim: 'preset=windows11; delay=30', ...UPDATED,
  },
  {
    // 400 % zoom of a 1280-pixel-wide window: the long message wraps.
    name: 'two controllers', image: sample,
    sim: `${devices('quillstrand MIDI,quillstrand MIDI 2')}; second=quillstrand MIDI 2`,
    viewport: { width: 320, height: 900 }, ...MANY,
  },
  {
    // Another maker's synthesizer that answers every SysEx, as many answer an inquiry: the
    // search cannot tell its answer from a controller's.
    name: 'a synthesizer answering every SysEx', image: sample,
    sim: `${devices('quillstrand MIDI,Synth')}; answering=Synth:F0 7E 7F 06 02 41 F7`, ...MANY,
  },
  {
    name: 'another model', image: sample, sim: 'model=35', audit: true, style: 'failure',
    says: 'The firmware was not sent: it is for another model than the controller connected. ' +
      'Get the firmware for your controller, then run the update with it.',
  },
  {
    // Still restarting once the wait is over.
    name: 'controller restarting', image: sample, sim: 'ident-silent=2; model=15', wait: 1,
    asksAgain: true, style: 'failure',
    says: 'The controller is restarting. Wait until it has started again, then press Start the ' +
      'update again.',
  },
  // The waits for the controller: it is asked again until it has started, found once it is
  // plugged in, and found again as a new device once it is back after its update.
  {
    name: 'the controller still starting', image: sample, sim: 'restarting=1500', asksAgain: true,
    ...UPDATED,
  },
  { name: 'the controller plugged in late', image: sample, sim: 'plug-in=1500', ...UPDATED },
  {
    name: 'the controller back after its update', image: sample, sim: `size=${sampleSize}`,
    asksAgain: true, ...BACK,
  },
  {
    name: 'the controller not back in time', image: sample,
    sim: `size=${sampleSize}; restart=4000:0`, wait: 2, style: 'success',
    says: 'The controller was updated, but it did not come back in time. Unplug it and plug it ' +
      'in again; if it does not start, run the update again.',
  },
  {
    // As Chromium may show a device that comes back: its old port objects, connected again; and
    // back before the next look at the list, so that only a send tells the tool it had left. The
    // twin has no port objects.
    name: 'plugged in late, back after its update as the same ports', image: sample,
    sim: `ports-return=same; ${backSoon}`, twin: backSoon, asksAgain: true, ...BACK,
  },
  { name: 'refusals', image: sample, sim: 'reply=50.1:20; reply=50.2:21', ...UPDATED },
  {
    name: 'a record refused every time', image: sample, sim: 'reply=50.*:20', style: 'failure',
    says: 'The controller refused the firmware again and again, so the update stopped. It may ' +
      'now hold part of the new firmware: download the firmware file again and run the update ' +
      'with it before you use the controller.',
  },
  {
    name: 'silent device, leaving asked about', image: sample, sim: 'ident-silent=always',
    leave: true, style: 'failure',
    says: 'The controller did not answer. Unplug it, plug it in again, then press Start the ' +
      'update again.',
  },
  { name: 'unplugged in the middle of a record', image: sample, sim: 'unplug=600', ...PART_WAY },
  {
    // A port that has just gone may still read `connected` for a moment: its send throws all the
    // same, and the page says what the program says of an unplugged controller. The frames of
    // that record handed over before it may be taken back (Firefox's clear()).
    name: 'a send that throws while the port reads connected',
    image: sample,
    sim: '',
    standInFault: [sendThrowsFrom, 600],
    twin: 'unplug=600',
    takenBack: true,
    ...PART_WAY,
  },
  { name: 'gone quiet in the middle of the update', image: sample, sim: 'silent-from=100', ...PART_WAY },
  // The page's thread kept busy (tens of ms, several times a second) from the press of the button
  // on: the browser keeps each record's pace all the same, and the waits for answers keep theirs.
  {
    name: 'a busy page, an answer 100 ms late and a refusal', image: sample, busy: [150, 40],
    sim: 'slow=30.1:100; reply=60.1:20', ...UPDATED,
  },
  {
    name: 'a busy page, an answer 1,500 ms late', image: sample, busy: [60, 25],
    sim: 'slow=20.1:1500', ...TOO_LATE,
  },
  // A phone's CPU, and another window opened during the update.
  { name: 'the CPU slowed 6 times', image: sample, sim: '', slowCpu: 6, only: 'chromium', ...UPDATED },
  { name: 'another window opened', image: sample, sim: '', otherWindow: true, only: 'chromium', ...UPDATED },
  {
    // Record 20's answer is held until the record goes out again, however long the page's wait
    // lasts on a busy machine: then answers and sends no longer pair up.
    name: 'an answer too late', image: sample, sim: 'late=20.1', ...TOO_LATE,
  },
  // The answer to a record's first copy comes late, just as the first frame of its second copy
  // reaches the controller, and the second copy goes unanswered: the record's other frames had
  // not left, so that answer is not the second copy's, and the record goes out a third time.
  {
    name: 'a late answer while the record goes out again', image: records(2, 100),
    sim: 'late=1.1; silent=2.1', ...TOO_LATE,
  },
  // The same with records of twelve frames, and a lag and a refusal further on in the same run.
  {
    name: 'a late answer while a long record goes out again, a lag and a refusal',
    image: records(10, 257), sim: 'late=3.1; silent=4.1; slow=6.1:100; reply=8.1:20', ...TOO_LATE,
  },
  // A record of one frame has left with that frame: the same late answer is its second copy's.
  {
    name: 'a late answer once a one-frame record went out again', image: records(1, 6),
    sim: 'late=1.1; silent=2.1', ...UPDATED,
  },
  // An answer cut short by the next one comes back as Windows hands it back, and is no answer.
  { name: 'a SysEx cut short', image: sample, sim: 'before=50.1:F0 20; slow=50.1:5', ...UPDATED },
  {
    name: 'damaged image, dropped', image: badImage, sim: '', drop: true, ...IMAGE_REFUSED,
    style: 'failure',
    says: 'Nothing was sent: the firmware file is damaged. Download it again, then choose it.',
  },
  {
    name: 'name that does not fit', image: misnamed, sim: '', ...IMAGE_REFUSED, style: 'failure',
    says: 'Nothing was sent: this file is not firmware for the quillstrand controller (its name ' +
      'must begin with quillstrand and end with .kit). Choose the right file.',
  },
  {
    // Dropped, so the chooser's filter does not apply: the program looks for a .kit file.
    name: 'a file that is no .kit, dropped', image: { name: 'quillstrand_v1.2.bin', bytes: sample.bytes },
    sim: '', drop: true, ...IMAGE_REFUSED, style: 'failure',
    says: 'Nothing was sent: the firmware file was not accepted (see above). Choose the firmware ' +
      'file again.',
  },
  {
    // The system's loopback port is no device; names are cut to 31 characters.
    name: 'loopback port and a long device name',
    image: sample,
    sim: `${devices(`Midi Through Port-0,${longName}`)}; controller=${longName}`,
    twin: `${devices(longName)}; controller=${longName}`,
    ...UPDATED,
  },
  {
    name: 'the newest firmware offered, no file chosen', firmware: 'offering', installs: newest,
    sim: '', audit: true, offered: 'Version 1.3, 2026-11-30: ready to install. Faster pads.',
    ...UPDATED,
  },
  {
    name: 'an older firmware offered, picked', firmware: 'offering', installs: older, pick: 1,
    sim: '', offered: 'Version 1.1, 2026-03-02: ready to install. ', ...UPDATED,
  },
  {
    name: 'a file of one\'s own chosen over the firmware offered', firmware: 'offering',
    image: sample, sim: '', ...UPDATED,
    offered: 'Your own file quillstrand_v1.2.kit is chosen. Pick a version here to install it ' +
      'instead. ',
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
        port.send = (data, timestamp) => {
          if (++sent >= frame) throw new DOMException('The port is disconnected.', 'InvalidStateError');
          send(data, timestamp);
        };
      }
      return access;
    },
  });
}

const PAGE_WORDS = [
  {
    name: 'no Web MIDI', options: { noWebMidi: true },
    notice: 'This browser cannot talk to MIDI devices. Open this page in Chrome, Edge, Opera or ' +
      'Firefox on Windows, macOS or Linux, in Chrome on ChromeOS or Android. Safari cannot ' +
      'update the controller.',
  },
  {
    // The browser's own Web MIDI, asked without the permission granted: it refuses.
    name: 'access refused', options: { grant: false },
    notice: 'The browser did not allow this page to use your MIDI devices, so nothing was sent. ' +
      'Allow MIDI access for this site (in the site settings, at the left of the address bar; ' +
      'in Firefox, add the site permission it offers), then press Start the update again.',
  },
  {
    name: 'not a secure context', options: { insecure: true, grant: false },
    notice: 'This page must be opened from a secure address (one that begins with https://), or ' +
      'from this computer as localhost. Browsers let only such pages use MIDI devices.',
  },
];

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

// The frames the controller received, the records it dropped half-received and its flash, from a
// run report.
function deviceSide(report) {
  return report.split('\n').filter((line) => /^(frame|flash|dropped-records) /.test(line));
}

// A record has at most this many frames.
const RECORD_FRAMES = 12;

// The twin's device side without the last frames that the page's lacks, when they are fewer than
// a record's: what a failed send left to go out of its record, taken back.
function withoutTakenBack(twinSide, pageSide) {
  const frames = (side) => side.filter((line) => line.startsWith('frame ')).length;
  let missing = frames(twinSide) - frames(pageSide);
  assert.ok(missing >= 0 && missing < RECORD_FRAMES, `${missing} frames taken back`);
  const side = [...twinSide];
  for (let index = side.length - 1; missing > 0; index -= 1) {
    if (side[index].startsWith('frame ')) {
      side.splice(index, 1);
      missing -= 1;
    }
  }
  return side;
}

// The page's thread can stop for tens of ms inside one stretch of its own work, with no turn of
// the page in between (the system gave its core to another process, or the engine collected
// garbage: seen on a machine busy building, another window loading). Between two frames of a
// record that splits it: the controller drops its halves after the resync gap and the program
// sends the record again whole, a second later, as a native program stopped there would. The page
// cannot prevent it. So the page's frames may hold a record sent again right after itself, at most
// SPLITS_ALLOWED times, each with the halves the controller dropped; the flash is compared whole.
const SPLITS_ALLOWED = 2;

const droppedRecords = (side) => Number(side.find((line) => /^dropped-records /.test(line))
  ?.split(' ')[1] ?? 0);

// The size of the run of frames that ends at `index` and comes again at once from it; 0 if none.
function repeatedRecord(side, index) {
  const same = (size) => side.slice(index - size, index)
    .every((line, k) => line.startsWith('frame ') && line === side[index + k]);
  for (let size = 1; size <= Math.min(index, RECORD_FRAMES); size += 1) if (same(size)) return size;
  return 0;
}

// The page's device side without the records split on the way, checked as above.
function withoutSplitRecords(pageSide, twinSide) {
  const side = [...pageSide];
  let splits = 0;
  for (let index = 0; index < side.length; index += 1) {
    if (side[index] === twinSide[index]) continue;
    const size = repeatedRecord(side, index);
    if (size === 0) break;
    side.splice(index, size);
    splits += 1;
    index -= 1;
  }
  if (splits === 0) return side;
  assert.ok(splits <= SPLITS_ALLOWED, `${splits} records sent again`);
  assert.ok(droppedRecords(side) >= droppedRecords(twinSide) + splits,
    'each record sent again had been dropped by the controller');
  return side.map((line) => (/^dropped-records /.test(line) ?
    `dropped-records ${droppedRecords(twinSide)}` : line));
}

// The device side with each run of identification requests as one: how often a controller that
// restarts is asked again depends on how long the page takes, to the devices' clock.
function askedOnce(side) {
  const request = side.find((line) => line.startsWith('frame '));
  return side.filter((line, index) => line !== request || side[index - 1] !== request);
}

async function runTwin(image, script, wait) {
  const folder = await mkdtemp(join(tmpdir(), 'tambrell-web-twin-'));
  try {
    await writeFile(join(folder, image.name), image.bytes);
    const run = spawnSync(TWIN, wait === undefined ? [] : ['--wait', String(wait)], {
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

const servers = {};
let browser;
let firmwareFolder;

before(async () => {
  firmwareFolder = await mkdtemp(join(tmpdir(), 'tambrell-web-firmware-'));
  servers.none = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR });
  for (const [name, images] of Object.entries(FIRMWARE)) {
    const firmwareDir = join(firmwareFolder, name);
    await mkdir(firmwareDir);
    for (const image of [newest, older]) await writeFile(join(firmwareDir, image.name), image.bytes);
    await writeFile(join(firmwareDir, 'firmware.json'), JSON.stringify({ images }));
    servers[name] = await serve({ pageDir: PAGE_DIR, standinDir: STANDIN_DIR, firmwareDir });
  }
  browser = await launchBrowser();
  await mkdir(dirname(SCREENSHOT), { recursive: true });
});

after(async () => {
  await browser?.close();
  for (const server of Object.values(servers)) server.close();
  await rm(firmwareFolder, { recursive: true, force: true });
});

// 200 % zoom of a 1280-pixel-wide window.
const ZOOMED = { width: 640, height: 900 };

// A page whose maker offers no firmware asks for the list once, and learns so from its 404.
function expectPageHealthy(shown, origin, offersFirmware) {
  assert.deepEqual(shown.elsewhere, [], 'nothing is loaded from another site');
  const expectedToFail = offersFirmware ? [] : [`404 ${origin}/firmware/firmware.json`];
  assert.deepEqual(shown.failed, expectedToFail, 'no request fails');
  assert.equal(shown.overflows, false, 'nothing is wider than the window when zoomed');
  assert.equal(shown.consoleCut, false, 'the console wraps its long lines');
  assert.deepEqual(shown.violations, [], 'the accessibility audit finds nothing');
}

for (const scenario of COMPARED) {
  const skip = scenario.only && scenario.only !== BROWSER && `${scenario.only} only`;
  test(scenario.name, { skip }, async () => {
    const server = servers[scenario.firmware ?? 'none'];
    const twin = await runTwin(scenario.image ?? scenario.installs, scenario.twin ?? scenario.sim,
      scenario.wait);
    const shown = await runPage(browser, server.origin, { viewport: ZOOMED, ...scenario });
    assert.equal(shown.console, asTerminalShows(twin.console));
    // A page that refuses the image never makes the stand-in's device, and has no report.
    const asked = scenario.asksAgain ? askedOnce : (side) => side;
    const twinSide = asked(deviceSide(twin.report)
      .filter((line) => shown.report || !/^dropped/.test(line)));
    const pageSide = withoutSplitRecords(asked(deviceSide(shown.report)), twinSide);
    assert.deepEqual(pageSide, scenario.takenBack ? withoutTakenBack(twinSide, pageSide) : twinSide);
    if (shown.report) {
      assert.match(shown.report, /^foreign-frames 0$/m, 'only the question reaches other devices');
    }
    assert.deepEqual(shown.standInFaults, [], 'every send scheduled as a browser takes it');
    assert.deepEqual([shown.outcome, shown.style], [scenario.says, scenario.style]);
    assert.equal(shown.focused, 'outcome', 'the focus moves to the outcome');
    assert.equal(shown.midiRequests, scenario.midiRequests ?? 1, 'MIDI access asked for');
    assert.deepEqual(shown.openPorts, [], 'every port is closed at the end');
    const percents = [...shown.console.matchAll(/(\d+)% done/g)];
    assert.equal(shown.progress, percents.length ? Number(percents.at(-1)[1]) : 0, 'progress bar');
    assert.equal(shown.notice, '');
    if (scenario.offered) assert.equal(shown.offered, scenario.offered);
    if (scenario.leave) assert.ok(shown.askedBeforeLeaving, 'leaving during the update is asked about');
    expectPageHealthy(shown, server.origin, Boolean(scenario.firmware));
  });
}

test('an offered firmware whose SHA-256 differs from its list', async () => {
  const shown = await runPage(browser, servers.tampered.origin, { sim: '', viewport: ZOOMED });
  assert.deepEqual([shown.outcome, shown.style], [
    'The firmware offered by this page is not the one its list describes (it may be damaged or ' +
    'replaced), so nothing was sent. Reload this page; if this happens again, tell the maker.',
    'failure']);
  assert.equal(shown.midiRequests, 0, 'MIDI access is never asked for');
  assert.equal(shown.console, '');
  assert.equal(shown.focused, 'outcome');
  expectPageHealthy(shown, servers.tampered.origin, true);
});

for (const scenario of PAGE_WORDS) {
  test(scenario.name, async () => {
    const server = servers.none;
    const shown = await runPage(browser, server.origin,
      { image: sample, viewport: ZOOMED, ...scenario.options });
    assert.equal(shown.notice, scenario.notice);
    assert.equal(shown.console, '');
    assert.equal(shown.outcome, '');
    const origin = scenario.options.insecure ?
      server.origin.replace('127.0.0.1', INSECURE_HOST) : server.origin;
    expectPageHealthy(shown, origin, false);
  });
}
