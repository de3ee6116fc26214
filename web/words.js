// The page's own words: where the updater has none (the browser, the permission, the page's
// address, the firmware this page offers), and the outcome of a run, told from the updater's exit
// status and the last of its own messages.

export const NOTICES = {
  insecure:
    'This page must be opened from a secure address (one that begins with https://), or from ' +
    'this computer as localhost. Browsers let only such pages use MIDI devices.',
  noWebMidi:
    'This browser cannot talk to MIDI devices. Open this page in Chrome, Edge, Opera or ' +
    'Firefox on Windows, macOS or Linux, in Chrome on ChromeOS or Android. Safari cannot update ' +
    'the controller.',
  refused:
    'The browser did not allow this page to use your MIDI devices, so nothing was sent. ' +
    'Allow MIDI access for this site (in the site settings, at the left of the address bar; ' +
    'in Firefox, add the site permission it offers), then press Start the update again.',
  unavailable:
    'The browser could not start MIDI on this computer, so nothing was sent. Check that the ' +
    'controller is connected, close other music programs, then press Start the update again.',
  crashed: 'The updater stopped unexpectedly. Reload this page and try again.',
  offeredUnreadable:
    'The firmware offered by this page could not be loaded, so nothing was sent. Check the ' +
    'connection to the internet, reload this page and try again.',
};

const updated = (text) => ({ success: true, text });
const failed = (text) => ({ success: false, text });

// When the transfer had begun, the controller may hold part of the new firmware.
const PART_WAY =
  'The update stopped part-way: the controller may now hold part of the new firmware. ' +
  'Connect it again, alone, and run the update again before you use it.';

export const OFFERED_MISMATCH = failed(
  'The firmware offered by this page is not the one its list describes (it may be damaged or ' +
  'replaced), so nothing was sent. Reload this page; if this happens again, tell the maker.');

// By exit status, the first whose text (of the updater's own messages, as printed) the console
// holds; the progress line tells that the transfer had begun.
const OUTCOMES = [
  [0, 'The controller is back and answering', updated(
    'The controller was updated and is back and answering: you can use it now.')],
  [0, 'The controller did not come back in time.', updated(
    'The controller was updated, but it did not come back in time. Unplug it and plug it in ' +
    'again; if it does not start, run the update again.')],
  [0, 'The System is restart, please wait!', updated(
    'The controller was updated and is restarting. Wait until it has started again before ' +
    'you use it.')],
  [0, '', updated('The controller was updated.')],
  [1, 'Error: The fit file is not found.', failed(
    'Nothing was sent: this file is not firmware for the quillstrand controller (its name must ' +
    'begin with quillstrand and end with .kit). Choose the right file.')],
  [1, 'Error: The upgrade file is error!', failed(
    'Nothing was sent: the firmware file is damaged. Download it again, then choose it.')],
  [1, '', failed('Nothing was sent: the firmware file was not accepted (see above). Choose ' +
    'the firmware file again.')],
  [2, 'Error: Did not find the USB Audio device, please check!', failed(
    'No controller answered. Connect it to this computer with its USB cable; if it is connected, ' +
    'close other music programs, unplug it and plug it in again. Then press Start the update ' +
    'again.')],
  [2, 'USB audiol devices, Please remove the other USB audiol devices!', failed(
    'More than one controller answered. Disconnect every controller but the one to update, ' +
    'then press Start the update again.')],
  [2, 'Transferring..', failed(PART_WAY)],
  [2, '', failed(
    'The controller could not be reached over MIDI. Close other music programs, unplug the ' +
    'controller, plug it in again, then press Start the update again.')],
  [3, 'Error: The device and the upgrade file is not matched!', failed(
    'The firmware was not sent: it is for another model than the controller connected. ' +
    'Get the firmware for your controller, then run the update with it.')],
  [3, 'Please wait the system reset and retry again!', failed(
    'The controller is restarting. Wait until it has started again, then press Start the ' +
    'update again.')],
  [3, 'Error in updating.', failed(
    'The controller refused the firmware again and again, so the update stopped. It may now ' +
    'hold part of the new firmware: download the firmware file again and run the update with ' +
    'it before you use the controller.')],
  [3, 'Error: The device replied too late.', failed(
    'The controller answered too late, so the update stopped. It may now hold part of the new ' +
    'firmware: run the update again before you use it.')],
  [3, 'Transferring..', failed(PART_WAY)],
  [3, '', failed(
    'The controller did not answer. Unplug it, plug it in again, then press Start the update ' +
    'again.')],
];

// What the person is told of a run that ended with `status` after printing `printed`.
export function outcomeOf(status, printed) {
  const found = OUTCOMES.find(([code, message]) => code === status && printed.includes(message));
  return found ? found[2] :
    failed(`The updater ended with an unknown status (${status}).`);
}
