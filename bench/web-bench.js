// The web build's figures: the site's size without icons and help pages, the time from
// navigation to the first painted frame in headless Chromium, and the time of a layer-drag
// step as the page runs it (pointer event, the game's step and frame, the copy into the
// canvas, the chrome). A benchmark, not a test: it prints figures and judges nothing. With
// --against OTHER_SITE (an older build, say) the first visits alternate between the two sites
// in the same run, and both are reported.
//   node bench/web-bench.js SITE_DIR [LOADS] [STEPS] [--against OTHER_SITE]
'use strict';

const fs = require('node:fs');
const path = require('node:path');
const h = require('../tests/web/harness.js');

const args = process.argv.slice(2);
const against = args.includes('--against') ? args.splice(args.indexOf('--against'), 2)[1] : null;
const [site, loads = '15', steps = '4000'] = args;

function median(values) {
  const v = [...values].sort((a, b) => a - b);
  return v[Math.floor(v.length / 2)];
}

function siteBytes(dir) {
  let total = 0;
  const files = [];
  for (const name of fs.readdirSync(dir)) {
    const file = path.join(dir, name);
    if (fs.statSync(file).isFile()) {
      total += fs.statSync(file).size;
      files.push(`${name} ${fs.statSync(file).size}`);
    }
  }
  return { total, files };
}

(async () => {
  const sites = against ? [site, against] : [site];
  for (const dir of sites) {
    const size = siteBytes(dir);
    console.log(`${dir}: site without icons and help pages: ${size.total} bytes (${(size.total / 1024).toFixed(1)} KiB)`);
    console.log(`  ${size.files.join(', ')}`);
  }

  const servers = await Promise.all(sites.map((dir) => h.serve(dir)));
  const browser = await h.launchBrowser();
  try {
    // A first visit each time: a new context has no cache and no service worker.
    const firstFrame = sites.map(() => []);
    for (let i = 0; i < Number(loads); i++) {
      for (let s = 0; s < sites.length; s++) {
        const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
        const page = await h.openGame(context, `${servers[s].url}?seed=1`);
        firstFrame[s].push(await page.evaluate(() => performance.getEntriesByName('vexal-first-frame')[0].startTime));
        await context.close();
      }
    }
    sites.forEach((dir, s) => {
      const t = firstFrame[s];
      console.log(`${dir}: navigation to first painted frame: median ${median(t).toFixed(1)} ms ` +
                  `(min ${Math.min(...t).toFixed(1)}, max ${Math.max(...t).toFixed(1)}, ${loads} first visits)`);
    });

    for (let s = 0; s < sites.length; s++) {
      const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
      const page = await h.openGame(context, `${servers[s].url}?seed=1`);
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
      console.log(`${sites[s]}: layer-drag step with its frame, copied into the canvas: median ${(median(batches) * 1000).toFixed(0)} us ` +
                  `(${steps} steps in batches of 25; min ${(Math.min(...batches) * 1000).toFixed(0)} us)`);
      await context.close();
    }
  } finally {
    await browser.close();
    await Promise.all(servers.map((s) => s.close()));
  }
})().catch((e) => {
  console.error(e);
  process.exit(1);
});
