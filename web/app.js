// The page: the firmware it offers, choosing or dropping a file of one's own, the one button, and
// what the person is told.
import { ConsoleView } from './console_view.js';
import { loadOffered, offeredFirmware } from './offered_firmware.js';
import { checkImage, runUpdate } from './updater.js';
import { NOTICES, OFFERED_MISMATCH, outcomeOf } from './words.js';

const element = (id) => document.getElementById(id);
const fileInput = element('image-file');
const dropZone = element('drop-zone');
const chosen = element('chosen');
const offeredSection = element('offered');
const versionList = element('version');
const offeredSummary = element('offered-summary');
const offeredNotes = element('offered-notes');
const startButton = element('start');
const notice = element('notice');
const progress = element('progress');
const outcome = element('outcome');
const consoleView = new ConsoleView(element('console'), (percent) => {
  progress.value = percent;
});

// How long the updater waits for the controller to be connected, to finish restarting and to come
// back after its update: the address's `wait` parameter, whole seconds, when a maker sets it.
const waitParameter = new URLSearchParams(location.search).get('wait');
const waitSeconds = /^\d{1,4}$/.test(waitParameter ?? '') ? Number(waitParameter) : null;

let ownFile = null;
let offered = [];
let running = false;

function showNotice(text) {
  notice.textContent = text;
  notice.hidden = !text;
}

// What stops an update before it starts, as far as the page can tell without asking.
function blocker() {
  if (!window.isSecureContext) return NOTICES.insecure;
  if (!navigator.requestMIDIAccess) return NOTICES.noWebMidi;
  return null;
}

function enableStart() {
  startButton.disabled = running || blocker() !== null || (!ownFile && offered.length === 0);
}

function describeOffered() {
  if (ownFile) {
    offeredSummary.textContent =
      `Your own file ${ownFile.name} is chosen. Pick a version here to install it instead.`;
    offeredNotes.textContent = '';
    return;
  }
  const entry = offered[versionList.value];
  const dated = entry.date ? `, ${entry.date}` : '';
  offeredSummary.textContent = `Version ${entry.version}${dated}: ready to install.`;
  offeredNotes.textContent = entry.notes ?? '';
}

async function showOffered() {
  offered = await offeredFirmware();
  if (offered.length === 0) return;
  offered.forEach((entry, index) => {
    versionList.add(new Option(index === 0 ? `${entry.version} (newest)` : entry.version, index));
  });
  if (ownFile) versionList.selectedIndex = -1;
  offeredSection.hidden = false;
  element('file-heading').textContent = 'Or a firmware file of your own';
  describeOffered();
  enableStart();
}

function choose(file) {
  if (!file || running) return;
  ownFile = file;
  chosen.textContent = `Chosen: ${file.name}`;
  // No version stays picked, so that picking any one takes it.
  versionList.selectedIndex = -1;
  if (offered.length > 0) describeOffered();
  enableStart();
}

function chooseOffered() {
  if (running) return;
  ownFile = null;
  fileInput.value = '';
  chosen.textContent = 'No file chosen.';
  describeOffered();
  enableStart();
}

function askBeforeLeaving(event) {
  event.preventDefault();
  event.returnValue = '';
}

function showOutcome({ success, text }) {
  outcome.textContent = text;
  outcome.className = success ? 'success' : 'failure';
}

async function start() {
  if (running) return;
  running = true;
  enableStart();
  showNotice('');
  showOutcome({ success: true, text: '' });
  window.addEventListener('beforeunload', askBeforeLeaving);
  try {
    await update();
  } catch {
    consoleView.draw();
    showNotice(NOTICES.crashed);
  } finally {
    window.removeEventListener('beforeunload', askBeforeLeaving);
    running = false;
    enableStart();
    // The person's next step is read where the run ended.
    (notice.hidden ? outcome : notice).focus();
  }
}

// The image's name and bytes; null for an offered one that is not what its list describes.
async function firmwareToInstall() {
  if (ownFile) {
    return { imageName: ownFile.name, imageBytes: new Uint8Array(await ownFile.arrayBuffer()) };
  }
  const entry = offered[versionList.value];
  const bytes = await loadOffered(entry);
  return bytes && { imageName: entry.file, imageBytes: bytes };
}

function finish(status) {
  consoleView.draw();
  if (status === 0) progress.value = 100;
  showOutcome(outcomeOf(status, consoleView.text()));
}

async function update() {
  consoleView.clear();
  progress.value = 0;
  let firmware;
  try {
    firmware = await firmwareToInstall();
  } catch {
    showNotice(NOTICES.offeredUnreadable);
    return;
  }
  if (!firmware) {
    showOutcome(OFFERED_MISMATCH);
    return;
  }
  const onByte = (byte) => consoleView.write(byte);
  // The image is checked by the updater itself before the browser is asked for MIDI access: a
  // file that would be refused never brings up the browser's question.
  const checked = await checkImage({ ...firmware, onByte });
  if (checked !== 0) {
    finish(checked);
    return;
  }
  consoleView.clear();
  let midiAccess;
  try {
    midiAccess = await navigator.requestMIDIAccess({ sysex: true });
  } catch (error) {
    const refused = error.name === 'NotAllowedError' || error.name === 'SecurityError';
    showNotice(refused ? NOTICES.refused : NOTICES.unavailable);
    return;
  }
  let status;
  try {
    status = await runUpdate({ ...firmware, midiAccess, onByte, waitSeconds });
  } catch (error) {
    // The program closes its ports at every end it reaches; one that crashed reached none.
    await closePorts(midiAccess);
    throw error;
  }
  finish(status);
}

function closePorts(midiAccess) {
  const ports = [...midiAccess.inputs.values(), ...midiAccess.outputs.values()];
  return Promise.allSettled(ports.filter((port) => port.connection !== 'closed')
    .map((port) => port.close()));
}

fileInput.addEventListener('change', () => choose(fileInput.files[0]));
versionList.addEventListener('change', chooseOffered);
startButton.addEventListener('click', start);

// A file dropped anywhere on the page is taken, never opened by the browser in place of it.
document.addEventListener('dragover', (event) => {
  event.preventDefault();
  dropZone.classList.add('dragging');
});
document.addEventListener('dragleave', () => dropZone.classList.remove('dragging'));
document.addEventListener('drop', (event) => {
  event.preventDefault();
  dropZone.classList.remove('dragging');
  choose(event.dataTransfer.files[0]);
});

showNotice(blocker() ?? '');
showOffered();
