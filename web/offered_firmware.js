// The firmware a maker hosts beside the page: firmware/firmware.json lists the images of the
// folder, newest first, each with its file name, version, date, notes and SHA-256. Fetched from
// the page's own origin only (relative addresses, no redirect, and the page's CSP).
const FOLDER = 'firmware/';
const FETCH = { cache: 'no-cache', redirect: 'error' };

function usable(entry) {
  return typeof entry?.file === 'string' && /^[^/\\]+$/.test(entry.file) &&
    typeof entry.version === 'string' && /^[0-9a-f]{64}$/.test(entry.sha256);
}

// The images offered, newest first; none when there is no list, or nothing usable in it.
export async function offeredFirmware() {
  try {
    const response = await fetch(`${FOLDER}firmware.json`, FETCH);
    // Read whole either way: a response left unread counts as a request broken off.
    const text = await response.text();
    if (!response.ok) return [];
    const { images } = JSON.parse(text);
    return Array.isArray(images) ? images.filter(usable) : [];
  } catch {
    return [];
  }
}

// The offered image's bytes, or null when they are not those its list describes. Throws when
// it cannot be loaded.
export async function loadOffered(entry) {
  const response = await fetch(FOLDER + encodeURIComponent(entry.file), FETCH);
  if (!response.ok) throw new Error(`${entry.file}: HTTP ${response.status}`);
  const bytes = new Uint8Array(await response.arrayBuffer());
  const digest = new Uint8Array(await crypto.subtle.digest('SHA-256', bytes));
  const hex = Array.from(digest, (byte) => byte.toString(16).padStart(2, '0')).join('');
  return hex === entry.sha256 ? bytes : null;
}
