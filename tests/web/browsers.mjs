// The two browsers the page is run in, each through the one driver that works with Debian's build
// of it: Chromium through Playwright, Firefox ESR through puppeteer over WebDriver BiDi
// (Playwright starts Firefox only in its own patched build). Each gives the same few steps; the
// pages they open are driven alike (page_run.mjs).
import { chromium } from 'playwright-core';
import puppeteer from 'puppeteer-core';
import { mkdtemp, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

// A host name of no real site, resolved to this machine: there the page is not a secure context.
export const INSECURE_HOST = 'updater.example';

const chromiumBrowser = {
  name: 'chromium',
  // Run as root on a machine whose network is closed: no sandbox, nothing fetched in the
  // background.
  launch: () => chromium.launch({
    executablePath: '/usr/lib/chromium/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      `--host-resolver-rules=MAP ${INSECURE_HOST} 127.0.0.1`],
  }),

  async newPage(browser, { viewport, grantOrigin, initScripts, timeout }) {
    const context = await browser.newContext({ viewport });
    context.setDefaultTimeout(timeout);
    if (grantOrigin) await context.grantPermissions(['midi', 'midi-sysex'], { origin: grantOrigin });
    for (const [script, arg] of initScripts) await context.addInitScript(script, arg);
    const page = await context.newPage();
    return {
      page,
      waitFor: (fn) => page.waitForFunction(fn, null, { timeout }),
      async chooseFile(image) {
        const chooser = page.waitForEvent('filechooser');
        await page.click('label[for=image-file]');
        await (await chooser).setFiles({ name: image.name, mimeType: 'text/plain', buffer: image.bytes });
      },
      // The CPU slowed `rate` times, as on a phone (DevTools' own throttling).
      async slowCpu(rate) {
        const session = await context.newCDPSession(page);
        await session.send('Emulation.setCPUThrottlingRate', { rate });
      },
      // Another window of this browser opens the page at `url` meanwhile.
      async openAnother(url) {
        await (await context.newPage()).goto(url);
      },
      close: () => context.close(),
    };
  },
};

const firefoxBrowser = {
  name: 'firefox',
  // An emulated CPU (the guest's) takes a minute or more to start it.
  launch: () => puppeteer.launch({
    browser: 'firefox',
    executablePath: '/usr/lib/firefox-esr/firefox-esr',
    headless: true,
    timeout: 300000,
    protocolTimeout: 300000,
    extraPrefsFirefox: {
      'network.dns.forceResolve': '127.0.0.1',
      'network.dns.localDomains': INSECURE_HOST,
    },
  }),

  async newPage(browser, { viewport, grantOrigin, initScripts, timeout }) {
    const context = await browser.createBrowserContext();
    if (grantOrigin) {
      // MIDI with SysEx for one origin: puppeteer's own grant knows no 'midi-sysex'.
      await browser.connection.send('permissions.setPermission', {
        origin: grantOrigin,
        descriptor: { name: 'midi', sysex: true },
        state: 'granted',
        userContext: context.id,
      });
    }
    const page = await context.newPage();
    page.setDefaultTimeout(timeout);
    await page.setViewport(viewport);
    for (const [script, arg] of initScripts) {
      if (typeof script === 'function') await page.evaluateOnNewDocument(script, arg);
      else await page.evaluateOnNewDocument(await readFile(script.path, 'utf8'));
    }
    // Firefox reads a chosen file from disk only when the page reads it: kept until the end.
    let folder = null;
    return {
      page,
      waitFor: (fn) => page.waitForFunction(fn, { timeout, polling: 'mutation' }),
      async chooseFile(image) {
        folder = await mkdtemp(join(tmpdir(), 'tambrell-chosen-'));
        const path = join(folder, image.name);
        await writeFile(path, image.bytes);
        const [chooser] = await Promise.all([
          page.waitForFileChooser(), page.click('label[for=image-file]')]);
        await chooser.accept([path]);
      },
      async close() {
        await context.close();
        if (folder) await rm(folder, { recursive: true, force: true });
      },
    };
  },
};

export const BROWSERS = { chromium: chromiumBrowser, firefox: firefoxBrowser };
