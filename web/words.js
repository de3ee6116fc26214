// The page's own words: where the updater has none (the browser, the permission, the page's
// address), and the outcome of a run, told from the updater's exit status.

export const NOTICES = {
  insecure:
    'This page must be opened from a secure address (one that begins with https://), or from ' +
    'this computer as localhost. Browsers let only such pages use MIDI devices.',
  noWebMidi:
    'This browser cannot talk to MIDI devices. Open this page in Chrome, Edge or Opera on ' +
    'Windows, macOS, Linux or ChromeOS, or in Chrome on Android. Safari cannot update the ' +
    'controller; Firefox can only with a permission for this site.',
  refused:
    'The browser did not allow this page to use your MIDI devices, so nothing was sent. ' +
    'Allow MIDI access for this site (in the site settings, at the left of the address bar), ' +
    'then press Start the update again.',
  unavailable:
    'The browser could not start MIDI on this computer, so nothing was sent. Check that the ' +
    'controller is connected, close other music programs, then press Start the update again.',
  crashed: 'The updater stopped unexpectedly. Reload this page and try again.',
};

// RunUpdate's exit statuses.
const OUTCOMES = new Map([
  [0, { success: true, text: 'The controller was updated.' }],
  [1, { success: false, text: 'Nothing was sent: the firmware file was not accepted (see above).' }],
  [2, {
    success: false,
    text: 'The controller could not be reached over MIDI (see above). Check the cable and that ' +
      'no other MIDI device is connected, then try again.',
  }],
  [3, {
    success: false,
    text: 'The controller did not complete the update (see above). Unplug it, plug it in ' +
      'again, then try again.',
  }],
]);

export function outcomeOf(status) {
  return OUTCOMES.get(status) ??
    { success: false, text: `The updater ended with an unknown status (${status}).` };
}
