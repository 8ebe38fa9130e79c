// The page in a real browser, headless: Debian's chromium (driven through
// the DevTools protocol) or firefox-esr (WebDriver BiDi), the page served
// from 127.0.0.1, the sound on whatever $PULSE_SERVER names.
//  - test mode (?capture&stop=N&scale=1): the canvas, read back and as a
//    screenshot of the page's top-left corner, equals native qn-capture's
//    frame N pixel for pixel, at frames across every scene;
//  - test mode to the end: the song reaches position 42, row 33;
//  - normal mode after a click: the audio callback runs, the song and the
//    frames advance, the canvas is scaled by a whole factor; F does not end
//    the demo, any other key does, and the closing state keeps the picture;
//  - side by side, two whole runs that must end as test mode does (events
//    fired, scene, closing row): one hidden behind another tab for 20 s,
//    which holds the sound and the song; one in a second browser whose sound
//    output stands still, which says so on the page and plays on.
// Screenshots of normal mode and the closing state go to SHOT_DIR.
//   node browser_test.js WEB_DIR NATIVE_BUILD chromium|firefox [SHOT_DIR]
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFileSync } = require('child_process');
const { decodePng, compareRgb } = require('./png');
const { serve } = require('./serve');

let puppeteer;
try {
  puppeteer = require('puppeteer-core');
} catch (e) {
  console.error('browser_test: puppeteer-core is missing (scripts/web.sh --test installs it)');
  process.exit(1);
}

// Every scene, three times in scene 5 (the 3D engine), each a multiple of 100.
const FRAMES = [100, 800, 3000, 5000, 6500, 8000, 8300, 8700, 9000, 9500, 11000, 13000, 15000,
                15900];
const [webDir, nativeBuild] = process.argv.slice(2, 4).map((p) => p && path.resolve(p));
const engine = process.argv[4];
const shotDir = process.argv[5] && path.resolve(process.argv[5]);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
let failures = 0;

function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}


// Native qn-capture's frames, every 100th, from the native build's data folder.
function nativeFrames() {
  const out = fs.mkdtempSync(path.join(os.tmpdir(), 'qn-web-native-'));
  execFileSync(path.join(nativeBuild, 'qn-capture'), ['-o', out, '--no-wav', '--png-every', '100'],
               { cwd: path.join(nativeBuild, 'data'), stdio: ['ignore', 'ignore', 'inherit'] });
  return out;
}

// The canvas's own pixels as RGB.
async function canvasRgb(page) {
  const rgba = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);
  });
  const rgb = Buffer.alloc((rgba.length / 4) * 3);
  for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) rgba.slice(i, i + 3).forEach((v, k) => { rgb[j + k] = v; });
  return rgb;
}

async function testMode(page, origin, native) {
  for (const n of FRAMES) {
    const t0 = Date.now();
    await page.goto(`${origin}/qn.html?capture&stop=${n}&scale=1`);
    await page.waitForFunction('window.qnEnded', { timeout: 600000, polling: 200 });
    const ended = await page.evaluate(() => window.qnEnded);
    const expected = decodePng(fs.readFileSync(path.join(native, `frame-${String(n).padStart(6, '0')}.png`)));
    const byCanvas = compareRgb(await canvasRgb(page), expected.rgb);
    const shot = decodePng(await page.screenshot({ clip: { x: 0, y: 0, width: 320, height: 240 } }));
    const byShot = compareRgb(shot.rgb, expected.rgb);
    check(ended.frames === n && byCanvas.pixels === 0 && byShot.pixels === 0,
          `frame ${n}: stopped at ${ended.frames}; canvas ${byCanvas.pixels} px differ, ` +
          `screenshot ${byShot.pixels} px differ (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
  }
  const t0 = Date.now();
  await page.goto(`${origin}/qn.html?capture&scale=1`);
  await page.waitForFunction('window.qnEnded', { timeout: 900000, polling: 200 });
  const end = await page.evaluate(() => window.qnEnded);
  check(end.status === 0 && end.position === 42 && end.row === 33,
        `test mode to the end: ${JSON.stringify(end)} (${((Date.now() - t0) / 1000).toFixed(1)} s)`);
  return end;
}

// How a whole run ends, to hold against test mode's.
const ending = (e) => JSON.stringify({ events: e.events, scene: e.scene, position: e.position, row: e.row });

async function startDemo(page, origin) {
  await page.goto(`${origin}/qn.html`);
  await page.waitForFunction('window.qnReady', { timeout: 600000 });
  await page.click('#start');
}

// Waits on timers, not animation frames, which a hidden page may not get.
const waitEnded = (page) => page.waitForFunction('window.qnEnded', { timeout: 900000, polling: 1000 });

async function hiddenRun(browser, origin, reference) {
  const page = await setUp(await browser.newPage());
  await startDemo(page, origin);
  await page.waitForFunction('Module._web_events() >= 1', { timeout: 600000, polling: 100 });
  const cover = await browser.newPage();
  await cover.bringToFront();
  await page.waitForFunction('document.hidden', { polling: 100 });
  await sleep(1000);  // the context's suspension is asynchronous
  const probe = () => page.evaluate(() => ({
    hidden: document.hidden, sound: Module._web_audio_frames(), events: Module._web_events(),
    song: Module._web_song_position() * 64 + Module._web_song_row(), context: SDL.audioContext.state }));
  const a = await probe();
  await sleep(20000);
  const b = await probe();
  check(b.hidden && b.context === 'suspended' && b.sound === a.sound && b.song === a.song && b.events === a.events,
        `hidden for 20 s: the sound and the song wait (${JSON.stringify(a)} then ${JSON.stringify(b)})`);
  await page.bringToFront();
  await cover.close();
  await waitEnded(page);
  const end = await page.evaluate(() => window.qnEnded);
  check(end.status === 0 && ending(end) === ending(reference),
        `hidden for 20 s, then to the end: ${ending(end)}, test mode ${ending(reference)}`);
  await page.close();
}

async function noSoundRun(browser, origin, reference) {
  const page = await setUp(await browser.newPage());
  await startDemo(page, origin);
  // chromium plays into a silent stand-in when no server answers: its
  // output is stopped here instead.
  if (engine === 'chromium') await page.evaluate(() => SDL.audioContext.suspend());
  await waitEnded(page);
  const end = await page.evaluate(() => ({
    ...window.qnEnded, line: document.getElementById('nosound').checkVisibility()
      ? document.getElementById('nosound').textContent : '' }));
  check(end.status === 0 && end.line === 'no sound output: playing without sound' &&
        ending(end) === ending(reference),
        `no sound output: "${end.line}", to the end: ${ending(end)}, test mode ${ending(reference)}`);
}

async function normalMode(page, origin) {
  await startDemo(page, origin);
  const probe = () => page.evaluate(() => ({
    callbacks: Module._web_audio_callbacks(), sound: Module._web_audio_frames(),
    frames: Module._web_frames(), song: Module._web_song_position() * 64 + Module._web_song_row(),
    context: SDL.audioContext ? SDL.audioContext.state : 'none', ended: !!window.qnEnded }));
  // The tables, then the three-second pause: the sound starts after them.
  await page.waitForFunction('Module._web_audio_callbacks() > 0 && Module._web_frames() > 0',
                             { timeout: 600000, polling: 100 });
  const a = await probe();
  await sleep(3000);
  const b = await probe();
  console.log(`     after the click: ${JSON.stringify(a)}; 3 s later: ${JSON.stringify(b)}`);
  check(b.context === 'running' && b.callbacks > a.callbacks && b.sound > a.sound,
        `normal mode: the audio callback runs (${b.callbacks - a.callbacks} calls, ` +
        `${((b.sound - a.sound) / 44100).toFixed(2)} s of sound in 3 s)`);
  check(b.song > a.song && b.frames > a.frames,
        `normal mode: the song (${b.song - a.song} rows) and the frames (${b.frames - a.frames}) advance`);
  const box = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { width: r.width, height: r.height, view: [innerWidth, innerHeight] };
  });
  check(box.width === 640 && box.height === 480, `normal mode: scaled 2x in 800x600 (${JSON.stringify(box)})`);
  if (shotDir) await page.screenshot({ path: path.join(shotDir, `normal-${engine}.png`) });

  await page.keyboard.press('f');
  const f0 = (await probe()).frames;
  await page.waitForFunction(`Module._web_frames() > ${f0 + 10} || window.qnEnded`, { timeout: 300000 });
  check(!(await probe()).ended, 'normal mode: F toggles full screen and does not end the demo');
  await page.keyboard.press('x');
  await page.waitForFunction('window.qnEnded', { timeout: 300000 });
  const closing = await page.evaluate(() => ({
    status: window.qnEnded.status,
    replay: !document.getElementById('closing').classList.contains('hidden'),
  }));
  const lit = (await canvasRgb(page)).some((v) => v !== 0);
  check(closing.status === 0 && closing.replay && lit,
        `a key ends the demo: status ${closing.status}, replay shown ${closing.replay}, last picture kept ${lit}`);
  if (shotDir) await page.screenshot({ path: path.join(shotDir, `closing-${engine}.png`) });
}

// A headless browser of the engine under test, its sound server from `env`.
async function launch(browsers, env) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), `qn-web-${engine}-`));
  const common = { headless: true, userDataDir: profile, env,
                   protocolTimeout: 1200000 };  // waits for a whole run outlast the default 180 s
  const browser = await puppeteer.launch(engine === 'chromium' ? {
    ...common,
    executablePath: '/usr/bin/chromium',
    args: ['--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--force-device-scale-factor=1',
           '--force-color-profile=srgb', '--window-size=800,600'],
  } : {
    ...common,
    browser: 'firefox',
    executablePath: '/usr/bin/firefox-esr',
  });
  browsers.push({ browser, profile });
  return browser;
}

async function setUp(page) {
  await page.setViewport({ width: 800, height: 600, deviceScaleFactor: 1 });
  // Generous waits everywhere: a busy machine makes the test slower, never wrong.
  page.setDefaultTimeout(600000);
  page.on('pageerror', (e) => console.log(`     page error: ${e.message}`));
  return page;
}

async function main() {
  if (!webDir || !nativeBuild || !['chromium', 'firefox'].includes(engine)) {
    console.error('usage: node browser_test.js WEB_DIR NATIVE_BUILD chromium|firefox [SHOT_DIR]');
    process.exit(2);
  }
  if (shotDir) fs.mkdirSync(shotDir, { recursive: true });
  const native = nativeFrames();
  const server = await serve(webDir);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const browsers = [];
  try {
    const browser = await launch(browsers, process.env);
    const page = await setUp(await browser.newPage());
    const reference = await testMode(page, origin, native);
    await normalMode(page, origin);
    await page.close();
    const quiet = await launch(browsers, { ...process.env, PULSE_SERVER: 'unix:/nonexistent/pulse' });
    await Promise.all([hiddenRun(browser, origin, reference), noSoundRun(quiet, origin, reference)]);
  } finally {
    for (const { browser, profile } of browsers) {
      await browser.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
    server.close();
    fs.rmSync(native, { recursive: true, force: true });
  }
  console.log(failures ? `${failures} check(s) failed` : 'all checks passed');
  process.exit(failures ? 1 : 0);
}

main().catch((e) => {
  console.error(`browser_test: ${e.stack || e}`);
  process.exit(1);
});
