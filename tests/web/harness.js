// Shared by the web tests and the web benchmark: PNG frames, generated event scripts, the
// replay programs, the static server and the browser.
'use strict';

const assert = require('node:assert');
const { execFileSync } = require('node:child_process');
const fs = require('node:fs');
const http = require('node:http');
const os = require('node:os');
const path = require('node:path');
const zlib = require('node:zlib');

const FRAME_WIDTH = 240;
const FRAME_HEIGHT = 270;

// 8-bit RGB pixels of a PNG file: truecolour, with or without alpha, any filter, no interlace
// (what libpng and the stored writer write for vexal-replay).
function decodePng(bytes) {
  assert.equal(bytes.toString('latin1', 1, 4), 'PNG', 'not a PNG file');
  let at = 8;
  let width = 0;
  let height = 0;
  let channels = 0;
  const idat = [];
  while (at < bytes.length) {
    const size = bytes.readUInt32BE(at);
    const type = bytes.toString('latin1', at + 4, at + 8);
    const data = bytes.subarray(at + 8, at + 8 + size);
    if (type === 'IHDR') {
      width = data.readUInt32BE(0);
      height = data.readUInt32BE(4);
      assert.equal(data[8], 8, 'only 8-bit channels');
      channels = { 2: 3, 6: 4 }[data[9]];
      assert.ok(channels && data[12] === 0, 'only truecolour without interlace');
    } else if (type === 'IDAT') {
      idat.push(data);
    }
    at += 12 + size;
  }
  const raw = zlib.inflateSync(Buffer.concat(idat));
  const stride = width * channels;
  const pixels = Buffer.alloc(width * height * channels);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)];
    const row = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    for (let x = 0; x < stride; x++) {
      const a = x >= channels ? pixels[y * stride + x - channels] : 0;
      const b = y > 0 ? pixels[(y - 1) * stride + x] : 0;
      const c = x >= channels && y > 0 ? pixels[(y - 1) * stride + x - channels] : 0;
      let predicted = 0;
      if (filter === 1) predicted = a;
      else if (filter === 2) predicted = b;
      else if (filter === 3) predicted = (a + b) >> 1;
      else if (filter === 4) {
        const p = a + b - c;
        const pa = Math.abs(p - a);
        const pb = Math.abs(p - b);
        const pc = Math.abs(p - c);
        predicted = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
      }
      pixels[y * stride + x] = (row[x] + predicted) & 0xff;
    }
  }
  if (channels === 3) return { width, height, rgb: pixels };
  const rgb = Buffer.alloc(width * height * 3);
  for (let i = 0, j = 0; i < pixels.length; i += 4, j += 3) pixels.copy(rgb, j, i, i + 3);
  return { width, height, rgb };
}

function readFrame(file) {
  return decodePng(fs.readFileSync(file));
}

// "" when the two RGB frames are equal, else where and how many pixels differ.
function frameDifference(want, got) {
  if (want.length !== got.length) return `sizes differ (${want.length} and ${got.length} bytes)`;
  let count = 0;
  let first = -1;
  for (let i = 0; i < want.length; i += 3) {
    if (want[i] !== got[i] || want[i + 1] !== got[i + 1] || want[i + 2] !== got[i + 2]) {
      count++;
      if (first < 0) first = i / 3;
    }
  }
  if (count === 0) return '';
  const x = first % FRAME_WIDTH;
  const y = Math.floor(first / FRAME_WIDTH);
  return `${count} pixels differ, the first at (${x}, ${y})`;
}

// A small fixed generator, so every run makes the same scripts.
function random(seed) {
  let s = seed >>> 0;
  return () => {
    s = (s + 0x6d2b79f5) >>> 0;
    let t = s;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
}

const COMMANDS = ['shuffle', 'change-skin', 'size', 'help', 'about', 'quit-no'];
const BUTTONS = ['shuffle', 'newskin', 'minus', 'plus', 'ok'];

// An event script of about `events` events: layer drags on the pieces, whole-puzzle drags
// beside them, drags that leave the window to the left and the top (the 16-bit wrap), every
// command and button, and stray moves and releases.
function makeScript(seed, events) {
  const rnd = random(seed);
  const int = (lo, hi) => lo + Math.floor(rnd() * (hi - lo + 1));
  const wrap = (v) => v & 0xffff;
  const lines = [`seed ${seed}`];
  const drag = (x, y, steps, leave) => {
    lines.push(`down ${x} ${y}`);
    for (let i = 0; i < steps; i++) {
      if (leave && i > steps / 2) {
        x -= int(4, 30);
        y -= int(4, 30);
      } else {
        x += int(-12, 12);
        y += int(-12, 12);
      }
      lines.push(`move ${wrap(x)} ${wrap(y)}`);
    }
    lines.push('up');
  };
  while (lines.length < events) {
    const pick = rnd();
    if (pick < 0.4) drag(int(70, 170), int(70, 200), int(1, 30), false);
    else if (pick < 0.6) drag(rnd() < 0.5 ? int(2, 40) : int(200, 238), int(2, 268), int(1, 25), false);
    else if (pick < 0.7) drag(int(20, 220), int(20, 250), int(6, 20), true);
    else if (pick < 0.85) lines.push(`command ${COMMANDS[int(0, COMMANDS.length - 1)]}`);
    else if (pick < 0.97) lines.push(`button ${BUTTONS[int(0, BUTTONS.length - 1)]}`);
    else lines.push(rnd() < 0.5 ? `move ${int(0, 65535)} ${int(0, 65535)}` : 'up');
  }
  return `${lines.join('\n')}\n`;
}

function tempDir(name) {
  return fs.mkdtempSync(path.join(os.tmpdir(), `vexal-${name}-`));
}

// Runs a replay program (native, or node with the .js) and returns its standard output.
function runReplay(program, args) {
  const [file, first] = program.endsWith('.js') ? [process.execPath, [program]] : [program, []];
  return execFileSync(file, [...first, ...args], { maxBuffer: 64 << 20 }).toString('latin1');
}

// The last frame vexal-replay paints for the script (with `args`: --game LINK, say).
function replayFrame(replay, script, dir, args = []) {
  const scriptFile = path.join(dir, 'events.txt');
  const frameFile = path.join(dir, 'frame.png');
  fs.writeFileSync(scriptFile, script);
  runReplay(replay, [scriptFile, ...args, '--frame', frameFile]);
  return readFrame(frameFile).rgb;
}

// Serves a folder on 127.0.0.1 at a free port; resolves to { url, close }.
function serve(root) {
  const types = {
    '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.css': 'text/css',
    '.png': 'image/png', '.webmanifest': 'application/manifest+json', '.htm': 'text/html',
  };
  const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, 'http://x').pathname);
    const file = path.join(root, name.endsWith('/') ? `${name}index.html` : name);
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404);
      res.end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({
      url: `http://127.0.0.1:${server.address().port}/`,
      close: () => new Promise((done) => server.close(done)),
    }));
  });
}

// Debian's Chromium, headless, with a fresh profile (playwright makes one per launch);
// nothing downloads a browser.
function launchBrowser() {
  const { chromium } = require('playwright-core');
  return chromium.launch({
    executablePath: process.env.VEXAL_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    args: ['--headless=new', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
      '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
}

// Opens the site in a new page of the context and waits until the game has painted.
async function openGame(context, url) {
  const page = await context.newPage();
  const errors = [];
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready="1"]', { timeout: 20000 });
  page.errors = errors;
  return page;
}

// The 240 x 270 pixels of the page's frame canvas, as RGB.
async function pageFrame(page) {
  const rgba = await page.evaluate(() => {
    const c = document.getElementById('frame');
    return Array.from(c.getContext('2d').getImageData(0, 0, c.width, c.height).data);
  });
  const rgb = Buffer.alloc(FRAME_WIDTH * FRAME_HEIGHT * 3);
  for (let i = 0, j = 0; i < rgba.length; i += 4, j += 3) {
    rgb[j] = rgba[i];
    rgb[j + 1] = rgba[i + 1];
    rgb[j + 2] = rgba[i + 2];
  }
  return rgb;
}

module.exports = {
  FRAME_WIDTH, FRAME_HEIGHT, decodePng, readFrame, frameDifference, makeScript, tempDir, runReplay,
  replayFrame, serve, launchBrowser, openGame, pageFrame,
};
