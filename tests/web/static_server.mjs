// A static web server for the page on 127.0.0.1 (a secure context, as localhost is): the page's
// folder at /, and at /standin/ the simulated controller behind its stand-in Web MIDI device.
// With `demo`, the page is served with the stand-in put in before its own scripts; with
// `firmwareDir`, that folder is the firmware the page offers (/firmware/).
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { dirname, extname, join, normalize } from 'node:path';
import { fileURLToPath } from 'node:url';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.json': 'application/json',
  '.svg': 'image/svg+xml',
};
const STANDIN_TAG = '<script src="/standin/standin_midi.js"></script>\n';

export async function serve({ pageDir, standinDir, firmwareDir, demo = false, port = 0 }) {
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const [dir, file] = path.startsWith('/standin/') ?
      [standinDir, path.slice('/standin/'.length)] :
      path.startsWith('/firmware/') && firmwareDir ?
        [firmwareDir, path.slice('/firmware/'.length)] :
        [pageDir, path === '/' ? 'index.html' : path.slice(1)];
    try {
      let body = await readFile(join(dir, file));
      if (demo && file === 'index.html') {
        body = body.toString().replace('<script type="module"', `${STANDIN_TAG}<script type="module"`);
      }
      response.writeHead(200, { 'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream' });
      response.end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  await new Promise((resolve) => server.listen(port, '127.0.0.1', resolve));
  return { origin: `http://127.0.0.1:${server.address().port}`, close: () => server.close() };
}

// As a program: serves build/web/page until stopped, with the stand-in when given --demo.
//   node tests/web/static_server.mjs [--demo] [PORT]
if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const demo = process.argv.includes('--demo');
  const port = Number(process.argv.slice(2).find((arg) => /^\d+$/.test(arg)) ?? 8000);
  const build = join(dirname(fileURLToPath(import.meta.url)), '../../build/web');
  const server = await serve({ pageDir: join(build, 'page'), standinDir: join(build, 'standin'), demo, port });
  console.log(`${server.origin}/${demo ? '   (the simulated controller; ?sim=SCRIPT sets it up)' : ''}`);
}
