// The page: choosing or dropping the image, the one button, and what the person is told.
import { ConsoleView } from './console_view.js';
import { runUpdate } from './updater.js';
import { NOTICES, outcomeOf } from './words.js';

const fileInput = document.getElementById('image-file');
const dropZone = document.getElementById('drop-zone');
const chosen = document.getElementById('chosen');
const startButton = document.getElementById('start');
const notice = document.getElementById('notice');
const progress = document.getElementById('progress');
const outcome = document.getElementById('outcome');
const consoleView = new ConsoleView(document.getElementById('console'), (percent) => {
  progress.value = percent;
});

let image = null;
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

function choose(file) {
  if (!file || running) return;
  image = file;
  chosen.textContent = `Chosen: ${file.name}`;
  startButton.disabled = blocker() !== null;
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
  if (running || !image) return;
  running = true;
  startButton.disabled = true;
  showNotice('');
  showOutcome({ success: true, text: '' });
  window.addEventListener('beforeunload', askBeforeLeaving);
  try {
    await update();
  } finally {
    window.removeEventListener('beforeunload', askBeforeLeaving);
    running = false;
    startButton.disabled = false;
  }
}

async function update() {
  let midiAccess;
  try {
    // Asked for on the button's press: the browser asks the person here.
    midiAccess = await navigator.requestMIDIAccess({ sysex: true });
  } catch (error) {
    const refused = error.name === 'NotAllowedError' || error.name === 'SecurityError';
    showNotice(refused ? NOTICES.refused : NOTICES.unavailable);
    return;
  }
  consoleView.clear();
  progress.value = 0;
  try {
    const status = await runUpdate({
      midiAccess,
      imageName: image.name,
      imageBytes: new Uint8Array(await image.arrayBuffer()),
      onByte: (byte) => consoleView.write(byte),
    });
    consoleView.draw();
    if (status === 0) progress.value = 100;
    showOutcome(outcomeOf(status));
  } catch (error) {
    consoleView.draw();
    showNotice(NOTICES.crashed);
  }
}

fileInput.addEventListener('change', () => choose(fileInput.files[0]));
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
