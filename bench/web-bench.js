// The web build's figures: the site's size without icons and help pages, the time from
// navigation to the first painted frame in headless Chromium, and the time of a layer-drag
// step as the page runs it (pointer event, the game's step and frame, the copy into the
// canvas, the chrome). A benchmark, not a test: it prints figures and judges nothing.
//   node bench/web-bench.js SITE_DIR [LOADS] [STEPS]
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const h = require('../tests/web/harness.js');

const [site, loads = '15', steps = '4000'] = process.argv.slice(2);

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v[Math.floor(v.length / 2)];
}

function siteBytes() {
  let total = 0;
  const files = [];
  for (const name of fs.readdirSync(site)) {
    const file = path.join(site, name);
    if (fs.statSync(file).isFile()) {
      total += fs.statSync(file).size;
      files.push(`${name} ${fs.statSync(file).size}`);
    }
  }
  return { total, files };
}

(async () => {
  const size = siteBytes();
  console.log(`site without icons and help pages: ${size.total} bytes (${(size.total / 1024).toFixed(1)} KiB)`);
  console.log(`  ${size.files.join(', ')}`);

  const server = await h.serve(site);
  const browser = await h.launchBrowser();
  try {
    // A first visit each time: a new context has no cache and no service worker.
    const firstFrame = [];
    for (let i = 0; i < Number(loads); i++) {
      const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
      const page = await h.openGame(context, `${server.url}?seed=1`);
      firstFrame.push(await page.evaluate(() => performance.getEntriesByName('vexal-first-frame')[0].startTime));
      await context.close();
    }
    console.log(`navigation to first painted frame: median ${median(firstFrame).toFixed(1)} ms ` +
                `(min ${Math.min(...firstFrame).toFixed(1)}, max ${Math.max(...firstFrame).toFixed(1)}, ${loads} first visits)`);

    const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
    const page = await h.openGame(context, `${server.url}?seed=1`);
    const box = await page.locator('#screen').boundingBox();
    const unit = box.width / 240;
    // Pressed on the piece at the centre, then moved back and forth: every move turns the layer.
    await page.mouse.move(box.x + 120.5 * unit, box.y + 161.5 * unit);
    await page.mouse.down();
    const batches = await page.evaluate(({ count, unit: u, left, top }) => {
      const screen = document.getElementById('screen');
      const batch = 25;  // the page's clock is coarse: time batches of steps
      const times = [];
      for (let b = 0; b < count / batch; b++) {
        const t0 = performance.now();
        for (let i = 0; i < batch; i++) {
          const k = (b * batch + i) % 40;
          const x = 120 + (k < 20 ? k : 40 - k) * 3;
          screen.dispatchEvent(new PointerEvent('pointermove', {
            pointerId: 1, pointerType: 'mouse', isPrimary: true, bubbles: true,
            clientX: left + (x + 0.5) * u, clientY: top + (161 + (k % 7)) * u,
          }));
        }
        times.push((performance.now() - t0) / batch);
      }
      return times;
    }, { count: Number(steps), unit, left: box.x, top: box.y });
    await page.mouse.up();
    console.log(`layer-drag step with its frame, copied into the canvas: median ${(median(batches) * 1000).toFixed(0)} us ` +
                `(${steps} steps in batches of 25; min ${(Math.min(...batches) * 1000).toFixed(0)} us)`);
    await context.close();
  } finally {
    await browser.close();
    await server.close();
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
