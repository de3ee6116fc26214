// One run of the updater: a fresh instance of the program, the chosen image alone in a folder of
// its own (so that the program finds it, names it and checks it as it does on a computer's
// disk), the page's MIDI access as its MIDI devices, and every byte it prints handed to `onByte`.
import createTambrellUpdate from './tambrell-update.js';

const FOLDER = '/update';

// Resolves to the program's exit status once the run has ended.
export async function runUpdate({ midiAccess, imageName, imageBytes, onByte }) {
  const program = await createTambrellUpdate({
    midiAccess,
    preRun: [(module) => module.FS.init(null, onByte, onByte)],
  });
  program.FS.mkdir(FOLDER);
  program.FS.writeFile(`${FOLDER}/${imageName}`, imageBytes);
  program.FS.chdir(FOLDER);
  return program.ccall('RunUpdateInPage', 'number', [], [], { async: true });
}
