// The updater's program in the page: a fresh instance for each call, the image alone in a folder
// of its own (so that the program finds it, names it and checks it as it does on a computer's
// disk), the page's MIDI access as its MIDI devices, and every byte it prints handed to `onByte`.
import createTambrellUpdate from './tambrell-update.js';

const FOLDER = '/update';

async function call(entry, { midiAccess, imageName, imageBytes, onByte, waitSeconds }) {
  const program = await createTambrellUpdate({
    midiAccess,
    preRun: [(module) => module.FS.init(null, onByte, onByte)],
  });
  program.FS.mkdir(FOLDER);
  program.FS.writeFile(`${FOLDER}/${imageName}`, imageBytes);
  program.FS.chdir(FOLDER);
  if (Number.isInteger(waitSeconds)) {
    program.ccall('SetWaitInPage', null, ['number'], [waitSeconds]);
  }
  return program.ccall(entry, 'number', [], [], { async: true });
}

// Resolves to 0 when the image passes every check of the updater's image stage, else to its exit
// status, with the stage's message printed. Touches no MIDI device.
export function checkImage(run) {
  return call('CheckImageInPage', run);
}

// Resolves to the program's exit status once the whole update has ended. `waitSeconds`, when
// given, is how long it waits for the controller (as --wait; the tool's default otherwise).
export function runUpdate(run) {
  return call('RunUpdateInPage', run);
}
