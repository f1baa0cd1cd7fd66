// The page in headless Chromium: each scenario plays pointer events on the handheld's screen
// and compares the page's 240 x 270 frame with vexal-replay's frame for the same events. The
// handheld's own scenarios run on ?classic=1, the page without the companion strip.
//   node browser.js VEXAL_REPLAY SITE_DIR
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const h = require('./harness.js');

const [replay, site] = process.argv.slice(2);
const MAIN_Y = 26;  // the main window's top on the screen
const BAR_Y = 307;  // the middle of the menu bar
const BAR_X = { New: 24, Size: 72, Help: 120, About: 168, Quit: 216 };
const ITEM = { Shuffle: [60, 259], 'Change Skin': [60, 281], Yes: [190, 259], No: [190, 281] };
const BUTTON = { minus: [15, 222], plus: [15, 241], ok: [15, 260] };
const COMMAND = { Shuffle: 'shuffle', 'Change Skin': 'change-skin', Size: 'size', About: 'about' };

// Steps, each played on the page and written into the replay's script:
//   ['bar', name] / ['menu', name, item]   a tap on the menu bar (and an item of its popup)
//   ['button', name]                        a tap on one of the five buttons
//   ['drag', points, hold]                  the stylus down at the first screen point, moved
//                                           through the others, lifted unless hold
//   ['up', point]                           the stylus lifted
//   ['turn', viewport]                      the window resized under a held stylus: it lets go
//   ['stray', points]                       that stylus moved and lifted: the game hears nothing
//   ['ctrl', key, code]                     Ctrl held, the key pressed that types key at code
//   ['key', keys, code, line]               a key ('Ctrl+Shift+Z', 'u') typed at code, and the
//                                           replay's line for it
//   ['strip', name, line]                   the strip's button of that name clicked
//   ['hint']                                H pressed and the way it names clicked: the
//                                           replay's hint line
//   ['reload'] / ['again']                  the page loaded again / Start again clicked
//   ['keep', name] / ['same', name]         the page's frame kept, and compared with it later
//   ['check']                               the page's frame must equal the replay's now
//   ['expect', fn]                          fn(state) on the chrome's state (vexal_state)
const SCENARIOS = [
  { name: 'start frame, at 2x on a desktop, seeded by the clock', steps: [['check'], ['expect', (s, page) => page.scale === 2]] },
  { name: 'New > Shuffle with a seed', seed: 1234, steps: [['menu', 'New', 'Shuffle'], ['check']] },
  {
    name: 'a layer drag, held and released', seed: 7,
    steps: [['menu', 'New', 'Shuffle'], ['drag', line([120, 150], [175, 168], 12), true], ['check'],
      ['up', [175, 168]], ['check']],
  },
  {
    name: 'a whole-puzzle drag that leaves the canvas to the left and top', seed: 5,
    steps: [['drag', [[20, 60], [14, 50], [8, 40], [2, 30], [-4, 20], [-10, 8], [-16, -6], [-24, -12]], false], ['check']],
  },
  {
    name: 'Size and "+"',
    steps: [['bar', 'Size'], ['expect', (s) => s.visible.plus && s.visible.minus && s.visible.ok], ['button', 'plus'],
      ['button', 'plus'], ['check'], ['button', 'ok'], ['expect', (s) => !s.visible.plus], ['check']],
  },
  { name: 'Change Skin', seed: 99, steps: [['menu', 'New', 'Change Skin'], ['check']] },
  {
    name: 'the About box opening and closing',
    steps: [['bar', 'About'], ['expect', (s) => s.about], ['tap', [220, 13]], ['expect', (s) => !s.about], ['check']],
  },
  {
    name: 'Quit > Yes ends the game plainly, and it starts again', seed: 3,
    steps: [['menu', 'New', 'Shuffle'], ['menu', 'Quit', 'Yes'], ['expect', (s) => s.ended], ['restart'], ['check']],
  },
  {
    name: 'Ctrl+A and Ctrl+Q by the Latin letter typed (AZERTY), else by the key\'s place (Cyrillic)',
    steps: [['ctrl', 'a', 'KeyQ'], ['expect', (s) => s.about], ['tap', [220, 13]], ['ctrl', 'ф', 'KeyA'], ['expect', (s) => s.about],
      ['tap', [220, 13]], ['ctrl', 'й', 'KeyQ'], ['expect', (s) => s.ended]],
  },
];

function line(from, to, n) {
  return Array.from({ length: n + 1 }, (_, i) => [
    Math.round(from[0] + ((to[0] - from[0]) * i) / n), Math.round(from[1] + ((to[1] - from[1]) * i) / n)]);
}

// The replay takes client coordinates of the main window; a point left of or above it
// reaches the game at its edge.
function client([x, y]) {
  return `${Math.max(x, 0)} ${Math.max(y - MAIN_Y, 0)}`;
}

async function chromeState(page) {
  return page.evaluate(() => window.vexalState());
}

// Plays a scenario on a page; the pointer is a mouse, or a finger through the touch screen.
// A scenario with `game` starts from that link, as the replay's --game does.
async function play(page, scenario, pointer, dir) {
  let box = await page.locator('#screen').boundingBox();
  const pageAt = ([x, y]) => [box.x + ((x + 0.5) * box.width) / 240, box.y + ((y + 0.5) * box.width) / 240];
  page.scale = Math.round((box.width / 240) * (await page.evaluate(() => window.devicePixelRatio)));
  const script = scenario.game ? ['# on --game'] : [`seed ${scenario.seed ?? 0}`];
  const tap = async (p) => {
    await pointer.down(pageAt(p));
    await pointer.up(pageAt(p));
  };
  for (const [kind, a, b, c] of scenario.steps) {
    if (kind === 'bar' || kind === 'menu') {
      await tap([BAR_X[a], BAR_Y]);
      if (kind === 'menu') await tap(ITEM[b]);
      const command = COMMAND[kind === 'menu' ? b : a];
      if (command) script.push(`command ${command}`);
    } else if (kind === 'button') {
      await tap(BUTTON[a]);
      script.push(`button ${a}`);
    } else if (kind === 'tap') {
      await tap(a);
    } else if (kind === 'drag') {
      await pointer.down(pageAt(a[0]));
      script.push(`down ${client(a[0])}`);
      for (const p of a.slice(1)) {
        await pointer.move(pageAt(p));
        script.push(`move ${client(p)}`);
      }
      if (!b) {
        await pointer.up(pageAt(a[a.length - 1]));
        script.push('up');
      }
    } else if (kind === 'up') {
      await pointer.up(pageAt(a));
      script.push('up');
    } else if (kind === 'turn') {
      await page.setViewportSize(a);
      await page.evaluate(() => new Promise(requestAnimationFrame));
      box = await page.locator('#screen').boundingBox();
      script.push('up');
    } else if (kind === 'stray') {
      for (const p of a) await pointer.move(pageAt(p));
      await pointer.up(pageAt(a[a.length - 1]));
    } else if (kind === 'ctrl') {
      await page.evaluate(([key, code]) => dispatchEvent(new KeyboardEvent('keydown', { key, code, ctrlKey: true })), [a, b]);
    } else if (kind === 'key') {
      await page.evaluate(([keys, code]) => dispatchEvent(new KeyboardEvent('keydown', {
        key: keys.split('+').pop(), code, ctrlKey: keys.includes('Ctrl+'), shiftKey: keys.includes('Shift+') })), [a, b]);
      script.push(c);
    } else if (kind === 'hint') {
      await page.evaluate(() => dispatchEvent(new KeyboardEvent('keydown', { key: 'h', code: 'KeyH' })));
      const said = await page.locator('#message').textContent();
      const way = / layer (clockwise|anticlockwise|half round) /.exec(said);
      assert.ok(way, `a hint names a way: ${said}`);
      await page.getByRole('button', { name: `Turn ${way[1]}`, exact: true }).click();
      script.push('hint');
    } else if (kind === 'strip') {
      await page.getByRole('button', { name: a, exact: true }).click();
      if (b) script.push(b);
    } else if (kind === 'reload') {
      await page.reload();
      await page.waitForSelector('body[data-ready="1"]', { timeout: 20000 });
      box = await page.locator('#screen').boundingBox();
    } else if (kind === 'again') {
      await page.click('#again');
    } else if (kind === 'restart') {
      await page.click('#again');
      script.length = 1;
    } else if (kind === 'keep') {
      (page.frames ??= {})[a] = await h.pageFrame(page);
    } else if (kind === 'same') {
      assert.equal(h.frameDifference(page.frames[a], await h.pageFrame(page)), '', `${scenario.name}: the frame ${a}`);
    } else if (kind === 'expect') {
      assert.ok(a(await chromeState(page), page), `${scenario.name}: ${a}`);
    } else if (kind === 'check') {
      const want = h.replayFrame(replay, `${script.join('\n')}\n`, dir, scenario.game ? ['--game', scenario.game] : []);
      const got = await h.pageFrame(page);
      assert.equal(h.frameDifference(want, got), '', `${scenario.name}, after: ${script.slice(1).join('; ')}`);
    }
  }
  assert.deepEqual(page.errors, []);
}

function mouse(page) {
  return {
    down: async ([x, y]) => { await page.mouse.move(x, y); await page.mouse.down(); },
    move: ([x, y]) => page.mouse.move(x, y),
    up: async ([x, y]) => { await page.mouse.move(x, y); await page.mouse.up(); },
  };
}

// Fingers through the DevTools protocol; `extra` is a second finger that lands after the first
// and wanders while it drags.
async function finger(page, extra) {
  const cdp = await page.context().newCDPSession(page);
  let last = null;
  const send = (type, points) => cdp.send('Input.dispatchTouchEvent', {
    type, touchPoints: points.map(([x, y], id) => ({ x, y, id })),
  });
  let moves = 0;
  return {
    down: async (p) => { last = p; await send('touchStart', [p]); },
    move: async (p) => {
      last = p;
      moves += 1;
      if (extra && moves === 2) await send('touchStart', [p, extra]);
      await send('touchMove', extra && moves >= 2 ? [p, [extra[0] + moves * 7, extra[1] - moves * 5]] : [p]);
    },
    up: async () => { await send('touchEnd', []); last = null; },
    get last() { return last; },
  };
}

let server;
let browser;
let dir;
test.before(async () => {
  assert.ok(fs.existsSync(`${site}/vexalmini.wasm`), `no site in ${site}: build the web preset first`);
  server = await h.serve(site);
  browser = await h.launchBrowser();
  dir = h.tempDir('browser');
});
test.after(async () => {
  await browser?.close();
  await server?.close();
  fs.rmSync(dir, { recursive: true, force: true });
});

async function desktopPage(seed) {
  const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
  const page = await h.openGame(context, `${server.url}?classic=1${seed === undefined ? '' : `&seed=${seed}`}`);
  return page;
}

for (const scenario of SCENARIOS) {
  test(scenario.name, async () => {
    const page = await desktopPage(scenario.seed);
    try {
      await play(page, scenario, mouse(page), dir);
    } finally {
      await page.context().close();
    }
  });
}

test('a touch drag on a phone-sized screen; a second finger changes nothing', async () => {
  const context = await browser.newContext({ viewport: { width: 360, height: 740 }, hasTouch: true, isMobile: true });
  try {
    const page = await h.openGame(context, `${server.url}?classic=1&seed=11`);
      const touchAction = await page.evaluate(() => getComputedStyle(document.getElementById('screen')).touchAction);
    assert.equal(touchAction, 'none');
    const drag = ['drag', line([110, 170], [60, 120], 10), false];
    await play(page, { name: 'touch', seed: 11, steps: [drag, ['check']] }, await finger(page, [200, 100]), dir);
  } finally {
    await context.close();
  }
});

test('Help opens its page in a new tab', async () => {
  const page = await desktopPage(1);
  try {
    const box = await page.locator('#screen').boundingBox();
    const unit = box.width / 240;
    const [tab] = await Promise.all([
      page.context().waitForEvent('page'),
      page.mouse.click(box.x + BAR_X.Help * unit, box.y + BAR_Y * unit),
    ]);
    await tab.waitForLoadState();
    assert.match(tab.url(), /\/help\/QZTVexalMini\.htm#Main_Contents$/);
    assert.match(await tab.title(), /Vexal Mini/);
  } finally {
    await page.context().close();
  }
});

test('after the first visit the game plays offline', async () => {
  const context = await browser.newContext({ viewport: { width: 800, height: 720 } });
  try {
    const page = await h.openGame(context, `${server.url}?classic=1&seed=2`);
    await page.evaluate(() => navigator.serviceWorker.ready);
    await page.reload();  // now under the service worker's control
    await page.waitForSelector('body[data-ready="1"]');
    await context.setOffline(true);
    await page.reload();
    await page.waitForSelector('body[data-ready="1"]', { timeout: 20000 });
      await play(page, { name: 'offline', seed: 2, steps: [['menu', 'New', 'Shuffle'], ['check']] }, mouse(page), dir);
  } finally {
    await context.close();
  }
});

// Turned with a finger down, the drag ends where it was and the moves after it reach nothing;
// the About box then equals a fresh load's at the new scale. On a phone, too: pinch zoom on the
// page, help pages at the phone's width, a manifest with an id and a maskable icon.
test('a phone turned in mid-drag, its About box, zoom, help pages and manifest', async () => {
  const phone = (width, height) =>
    browser.newContext({ viewport: { width, height }, deviceScaleFactor: 3, hasTouch: true, isMobile: true });
  const [turned, fresh] = [await phone(740, 360), await phone(360, 740)];
  const about = async (page, steps) => {
    await play(page, { name: 'About', seed: 7, steps: [...steps, ['bar', 'About']] }, await finger(page), dir);
    return page.evaluate(async () => {
      const c = document.getElementById('chrome');
      const pixels = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      return new Uint8Array(await crypto.subtle.digest('SHA-256', pixels)).join();
    });
  };
  try {
    const page = await h.openGame(fresh, `${server.url}?classic=1`);
    assert.equal(await about(await h.openGame(turned, `${server.url}?classic=1&seed=7`), [['menu', 'New', 'Shuffle'],
      ['drag', line([120, 150], [150, 160], 6), true], ['turn', { width: 360, height: 740 }], ['stray', line([150, 160], [190, 200], 4)],
      ['check']]), await about(page, []), 'the About box after turning');
    // A touchpad's pinch: headless Chromium ignores a synthesized touch pinch.
    const pinch = { x: 180, y: 700, scaleFactor: 2, gestureSourceType: 'mouse' };
    await (await fresh.newCDPSession(page)).send('Input.synthesizePinchGesture', pinch);
    const help = await fresh.newPage();
    await help.goto(`${server.url}help/QZTVexal.htm`);
    assert.deepEqual(await Promise.all([page.evaluate(async () => {
      const m = await (await fetch('manifest.webmanifest')).json();
      return [visualViewport.scale > 1.5, m.id, m.icons.some((i) => i.purpose === 'maskable')];
    }), help.evaluate(() => [document.compatMode, innerWidth, visualViewport.scale])]), [[true, './', true], ['CSS1Compat', 360, 1]]);
  } finally {
    await turned.close();
    await fresh.close();
  }
});

// At 300 x 280 every part of the screen and the lines below it can be scrolled to. A bad seed
// is said below the screen; a failed download says so, and "Try again" loads the game.
test('a window smaller than the screen, bad seeds, failed downloads', async () => {
  const context = await browser.newContext({ viewport: { width: 300, height: 280 }, serviceWorkers: 'block' });
  const failed = 'Vexal Mini could not be loaded. Check the connection, then try again.\nTry again';
  const loads = ['-1', 'abc', '4294967296', '', '+7', '7.0', '7'].map((seed) => [seed]).concat([['vexalmini.wasm', { status: 404 }],
    ['vexalmini.js', { status: 404 }], ['vexalmini.js', { contentType: 'text/javascript', body: 'throw new Error("cut short");' }]]);
  try {
    for (const [seed, answer] of loads) {
      if (answer) await context.route(`**/${seed}`, (route) => route.fulfill(answer));
      const page = await context.newPage();
      await page.goto(`${server.url}?seed=${answer ? 7 : seed}&classic=1`);
      await page.waitForSelector('body[data-ready]', { timeout: 20000 });
      const seen = await page.evaluate(() => {
        const [screenEl, ...lines] = ['screen', 'note', 'failed'].map((id) => document.getElementById(id));
        const { top, left } = screenEl.getBoundingClientRect();
        scrollTo(0, document.body.scrollHeight);
        const shown = lines.filter((el) => !el.hidden);
        const rect = (el) => el.getBoundingClientRect();
        const reachable = top >= 0 && left >= 0 && [screenEl, ...shown].every((el) => rect(el).bottom <= innerHeight);
        return [reachable && shown.every((el) => rect(el).top >= rect(screenEl).bottom), shown.map((el) => el.textContent.trim())];
      });
      const wrong = seed ? ' is not a whole number from 0 to 4294967295' : ' has no number';
      const said = seed === '7' ? [] : [answer ? failed : `?seed=${seed}${wrong}; the shuffles are seeded from the clock instead.`];
      assert.deepEqual(seen, [true, said], seed);
      if (answer) {
        await context.unroute(`**/${seed}`);
        await page.click('#retry');
        await page.waitForSelector('body[data-ready="1"]', { timeout: 20000 });
      }
      await page.close();
    }
  } finally {
    await context.close();
  }
});

// The companion strip on a game opened from a link (the replay's --game): a drag then Undo
// gives the frame before the drag; keys (by the letter typed, else the key's place), redo and
// the strip's layer and direction buttons play as the replay's lines; the screen stays the
// replay's pixel for pixel. A reload keeps the frame and the moves; the shared link opens the
// same frame on a phone, the strip below the screen (and out of its way in a small window); a
// link pasted in opens, and a game too long is not shared; a damaged save is kept aside and a
// new game starts with a message; a newer save is left alone; a bad link says so; ?classic=1
// has no strip and no new keys. The strip's buttons have names and are 48 CSS pixels or more.
test('the companion strip: undo, keys, the kept game, a shared link, damaged saves', async () => {
  fs.writeFileSync(`${dir}/shuffle.txt`, 'seed 7\ncommand shuffle\n');
  const link = h.runReplay(replay, [`${dir}/shuffle.txt`, '--link']).trim();
  const desk = await browser.newContext({ viewport: { width: 800, height: 720 } });
  const phone = await browser.newContext({ viewport: { width: 360, height: 740 }, deviceScaleFactor: 3, hasTouch: true, isMobile: true });
  await desk.addInitScript(() => {
    delete Navigator.prototype.share;  // no share sheet: the link is copied
    navigator.clipboard.writeText = async (text) => { window.copied = text; };
  });
  await phone.addInitScript(() => {
    navigator.share = async ({ url }) => { window.shared = url; };
  });
  // Where the screen and the strip are at the first frame, before the strip's buttons are made:
  // they must not move when the buttons come.
  for (const context of [desk, phone]) {
    await context.addInitScript(() => {
      window.vexalBoxes = () => ['screen', 'strip'].map((id) => {
        const r = document.getElementById(id).getBoundingClientRect();
        return [r.x, r.y, r.width, r.height];
      });
      const mark = performance.mark.bind(performance);
      performance.mark = (name, ...rest) => {
        if (name === 'vexal-first-frame') window.firstBoxes = window.vexalBoxes();
        return mark(name, ...rest);
      };
    });
  }
  const unmoved = async (page) => assert.deepEqual(...await page.evaluate(() => [vexalBoxes(), firstBoxes]),
    'the screen and the strip stay where the first frame put them');
  const strip = (page) => page.evaluate(() => [...document.querySelectorAll('#strip button')].map((b) => {
    const r = b.getBoundingClientRect();
    return [b.getAttribute('aria-label'), b.hidden || b.classList.contains('gone') || (r.width >= 48 && r.height >= 48)];
  }));
  const saves = (page) => page.evaluate(() => Object.fromEntries(Object.entries(localStorage).filter(([k]) => k.startsWith('vexalmini-save'))));
  try {
    const page = await h.openGame(desk, `${server.url}#g=${link}`);
    await unmoved(page);
    assert.deepEqual(await strip(page), ['Undo', 'Redo', 'Restart', 'Shuffle', 'Share', 'Hint', 'Yes, shuffle', 'No, keep playing',
      'Up layer', 'Down layer', 'Left layer', 'Right layer', 'Front layer', 'Back layer', 'Turn clockwise', 'Turn anticlockwise',
      'Turn half round', 'Show the time', 'Best results', 'Keys'].map((name) => [name, true]));
    await play(page, {
      name: 'the strip', game: link,
      steps: [['expect', (s, p) => p.scale === 2 && s.status.startsWith('0 moves')], ['check'], ['keep', 'before the drag'],
        ['drag', line([120, 150], [175, 168], 12), false], ['expect', (s) => s.status.startsWith('1 move ')],
        ['strip', 'Undo', 'undo'], ['check'], ['same', 'before the drag'], ['hint'], ['check'], ['strip', 'Undo', 'undo'],
        ['key', 'Ctrl+y', 'KeyY', 'redo'],
        ['key', 'r', 'KeyR', 'turn R 1'], ['key', 'Shift+U', 'KeyU', 'turn U 3'], ['key', 'к', 'KeyR', 'turn R 1'],
        ['key', 'Ctrl+z', 'KeyZ', 'undo'], ['key', 'Ctrl+Shift+Z', 'KeyZ', 'redo'], ['strip', 'Left layer'],
        ['strip', 'Turn clockwise', 'turn L 1'], ['check'], ['expect', (s) => s.status.startsWith('5 moves')], ['keep', 'played'],
        ['strip', 'Shuffle'], ['expect', (s) => s.status === 'Throw this game away and shuffle?'], ['strip', 'No, keep playing'],
        ['menu', 'Quit', 'Yes'], ['expect', (s) => s.ended], ['again'], ['same', 'played'],
        ['reload'], ['same', 'played'], ['expect', (s) => s.status.startsWith('5 moves')],
        ['strip', 'Share'], ['expect', (s) => s.message === 'Link copied']],
    }, mouse(page), dir);
    const [address, shared] = await page.evaluate(() => [location.href, window.copied]);
    assert.equal(shared.replace(/#g=.*/, ''), address, 'the address, its link taken out of it');

    const opened = await h.openGame(phone, shared);
    await unmoved(opened);
    assert.equal(h.frameDifference(page.frames.played, await h.pageFrame(opened)), '', 'the shared link');
    assert.deepEqual(await opened.evaluate(() => {
      const [screen, strip] = ['screen', 'strip'].map((id) => document.getElementById(id).getBoundingClientRect());
      document.querySelector('[aria-label="Share"]').click();
      return [vexalState().status.slice(0, 7), screen.width, strip.top >= screen.bottom && strip.bottom <= innerHeight];
    }), ['5 moves', 320, true]);
    assert.equal(await opened.evaluate(() => window.shared), shared, 'shared through the share sheet');
    // A link pasted into the address opens at once; past the 1,000 moves a game keeps, it is
    // too long to share. In a window smaller than the screen, the strip never covers it and
    // the page scrolls to every part of both.
    await opened.evaluate((g) => { location.hash = `#g=${g}`; }, `${link}${'F'.repeat(1000)}`);
    await opened.waitForFunction(() => location.hash === '' && vexalState().status.startsWith('1000 moves'));
    await opened.setViewportSize({ width: 300, height: 280 });
    assert.deepEqual(await opened.evaluate(() => {
      dispatchEvent(new KeyboardEvent('keydown', { key: 'f', code: 'KeyF' }));
      window.shared = '';
      document.querySelector('[aria-label="Share"]').click();
      const [screen, strip] = ['screen', 'strip'].map((id) => document.getElementById(id).getBoundingClientRect());
      return [window.shared, vexalState().message.slice(0, 32), screen.left >= 0 && screen.top >= 0,
        strip.top >= screen.bottom || strip.left >= screen.right];
    }), ['', 'This game is too long to share: ', true, true]);

    // The save changed while no game page is open (the game keeps its own when it goes).
    const replaceSave = async (text) => {
      await page.goto(`${server.url}manifest.webmanifest`);
      await page.evaluate((t) => localStorage.setItem('vexalmini-save', t), text);
      await page.goto(server.url);
      await page.waitForSelector('body[data-ready="1"]');
    };
    // A save cut short: a new game, said once, the damaged text kept under a key of its own.
    const cut = (await saves(page))['vexalmini-save'].slice(0, -4);
    await replaceSave(cut);
    await play(page, { name: 'a damaged save', steps: [['check'],
      ['expect', (s) => s.status.startsWith('0 moves') && /could not be read/.test(s.message)]] }, mouse(page), dir);
    assert.equal((await saves(page))['vexalmini-save.bad'], cut);
    // A later version's save: read by nobody here, written over by nobody.
    const newer = 'vexalmini-save 2\nwhat a later version keeps\n';
    await replaceSave(newer);
    await play(page, { name: 'a newer save', steps: [['key', 'r', 'KeyR', 'turn R 1'], ['check']] }, mouse(page), dir);
    assert.equal((await saves(page))['vexalmini-save'], newer);
    await page.goto(`${server.url}#g=2${link.slice(1)}`);
    await page.waitForSelector('body[data-ready="1"]');
    assert.match((await chromeState(page)).message, /^This link does not describe a game: it is of a version/);
    await page.goto(`${server.url}?classic=1`);
    await play(page, { name: 'classic', steps: [['key', 'r', 'KeyR', '# no turn'], ['check']] }, mouse(page), dir);
    assert.ok(await page.evaluate(() => document.getElementById('strip').hidden), 'no strip with ?classic=1');
    assert.deepEqual([...page.errors, ...opened.errors], []);
  } finally {
    await desk.close();
    await phone.close();
  }
});
