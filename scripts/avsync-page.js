// avsync.sh's page run: the page in chromium with a window filling the X
// screen ($DISPLAY), its sound on $PULSE_SERVER, started by a click on its
// start cover and left to play for SECONDS; then the browser is closed.
//   NODE_PATH=build-web/web-test/node_modules node avsync-page.js WEB_DIR SECONDS
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require('../tests/web/serve');

async function main() {
  const [webDir, seconds] = process.argv.slice(2);
  const server = await serve(path.resolve(webDir));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'qn-avsync-'));
  const browser = await puppeteer.launch({
    headless: false, userDataDir: profile, executablePath: '/usr/bin/chromium',
    defaultViewport: null, protocolTimeout: 600000,
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--force-device-scale-factor=1',
           '--kiosk', '--window-position=0,0', '--window-size=640,480'],
  });
  try {
    const page = (await browser.pages())[0] || await browser.newPage();
    await page.goto(`http://127.0.0.1:${server.address().port}/qn.html`);
    await page.waitForFunction('window.qnReady === true', { timeout: 300000 });
    await page.click('#start');
    await new Promise((resolve) => setTimeout(resolve, Number(seconds) * 1000));
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
}

main().catch((e) => {
  console.error(`avsync: the page: ${e.message}`);
  process.exit(1);
});
