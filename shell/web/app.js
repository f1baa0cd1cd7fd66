// The page around the WebAssembly game: pointer events and keys in, the frame and the
// handheld's chrome (title bar, menu bar, popups, buttons, About box) out. What the chrome
// shows and does comes from the shared window system (shell/handheld) through the C API.
// Beside the screen, the companion strip (real buttons, the moves and time, the kept game and
// the shared link); ?classic=1 leaves it out, and the page is the handheld alone.
'use strict';

const FONT = '"DejaVu Sans", Verdana, Arial, sans-serif';

const pageEl = document.getElementById('page');
const screenEl = document.getElementById('screen');
const frameCanvas = document.getElementById('frame');
const chromeCanvas = document.getElementById('chrome');
const frameCtx = frameCanvas.getContext('2d');
const chromeCtx = chromeCanvas.getContext('2d');
const endedEl = document.getElementById('ended');
const stripEl = document.getElementById('strip');
const statusEl = document.getElementById('status');
const messageEl = document.getElementById('message');

const params = new URLSearchParams(location.search);
const classic = params.get('classic') === '1';
const seedText = params.get('seed');
const hasSeed = seedText !== null && /^\d{1,10}$/.test(seedText) && Number(seedText) <= 0xffffffff;
if (seedText !== null && !hasSeed) {
  // Said once, below the screen, in the address's own spelling ("+7", not " 7").
  const raw = (/[?&]seed(?:=([^&]*))?(?:&|$)/.exec(location.search) || [])[1] || '';
  const what = raw ? `${raw.length > 24 ? `${raw.slice(0, 24)}…` : raw} is not a whole number from 0 to 4294967295` : ' has no number';
  showLine('note', `?seed=${what}; the shuffles are seeded from the clock instead.`);
}

let M = null;        // the module
// What the game says of itself (vexal_describe): the result bits (R), the keys (K), the state's
// slots (S), the layout (L), the texts (T), the fonts (F) and the colours (C). A name it does
// not hold is an error, not a silent undefined.
let R = null;
let K = null;
let S = null;
let L = null;
let T = null;
let F = null;
let C = null;
let ST = null;      // the strip: its controls, state bits, texts and keys
let scale = 1;       // device pixels per screen pixel
let icon = null;     // the About box's icon, drawn from the start frame
let activePointer = null;
let dragPlace = '';  // where the screen lay when the stylus went down
let lastPoint = [0, 0];  // the last point the game was given
let stale = false;   // the stylus was released by a layout change; ignored until it lifts
const controls = []; // the strip's buttons, in the game's order of its controls

function strict(value, path) {
  if (value === null || typeof value !== 'object') return value;
  return new Proxy(value, {
    get(target, name) {
      if (typeof name === 'symbol' || name in target) return strict(target[name], `${path}.${String(name)}`);
      throw new Error(`the game's description has no ${path}.${name}`);
    },
  });
}

// A text the game left at `at`, up to its terminating zero.
function cString(at) {
  const end = M.HEAPU8.indexOf(0, at);
  return new TextDecoder().decode(M.HEAPU8.subarray(at, end));
}

function readDescription() {
  const d = strict(JSON.parse(cString(M._vexal_describe())), 'description');
  ({ result: R, keys: K, state: S, text: T, fonts: F, colours: C, strip: ST } = d);
  L = strict({ ...d.layout, ...d.menu }, 'layout');
}

function chromeState() {
  const at = M._vexal_state() >> 2;
  return M.HEAP32.subarray(at, at + S.count);
}

function showLine(id, words) {
  const el = document.getElementById(id);
  if (words) el.textContent = words;
  el.hidden = false;
}

// The largest whole number of device pixels per screen pixel that fits the window beside the
// page's lines, at least 1 (the page scrolls then); a desktop (a fine pointer) shows the
// screen at 2x, as the SDL window does. The strip goes where the screen is largest: below it
// (a phone held upright: within the thumb's reach), or beside it in rows of six or of three;
// when two do as well, the one that fits the window, below first on a window taller than wide.
function fitScale() {
  const dpr = window.devicePixelRatio || 1;
  const root = document.documentElement;
  const [width, height] = [root.clientWidth, root.clientHeight];
  const fits = (w, h) => {
    let s = Math.floor(Math.min((w * dpr) / L.width, (h * dpr) / L.height));
    if (matchMedia('(pointer: fine)').matches) s = Math.min(s, Math.round(2 * dpr));
    return Math.max(1, s);
  };
  pageEl.className = '';
  const strip = stripEl.hidden ? [0, 0] : [stripEl.offsetWidth, stripEl.offsetHeight];
  const lines = pageEl.offsetHeight - screenEl.offsetHeight - strip[1];
  if (stripEl.hidden) return fits(width, height - lines);
  pageEl.className = 'beside narrow';
  const narrow = [stripEl.offsetWidth, stripEl.offsetHeight];
  const gap = parseFloat(getComputedStyle(pageEl).columnGap) || 0;
  const ways = [['', [0, strip[1]], (w, h) => [Math.max(w, strip[0]), h + strip[1]]]];
  for (const [name, [w, h]] of [['beside', strip], ['beside narrow', narrow]]) {
    ways.push([name, [w + gap, 0], (sw, sh) => [sw + gap + w, Math.max(sh, h)]]);
  }
  if (width > height) ways.push(ways.shift());
  let best = null;
  for (const [name, [besideW, belowH], size] of ways) {
    const s = fits(width - besideW, height - lines - belowH);
    const [w, h] = size((L.width * s) / dpr, (L.height * s) / dpr);
    const way = { name, s, whole: w <= width && h + lines <= height };
    if (!best || s > best.s || (s === best.s && way.whole && !best.whole)) best = way;
  }
  // A window too small for any: scrolled up and down, as the page is without the strip.
  if (!best.whole && fits(width, height - lines - strip[1]) === best.s) best.name = '';
  pageEl.className = best.name;
  return best.s;
}

function placeScreen() {
  scale = fitScale();
  const dpr = window.devicePixelRatio || 1;
  const css = (n) => `${(n * scale) / dpr}px`;
  screenEl.style.width = css(L.width);
  screenEl.style.height = css(L.height);
  frameCanvas.style.top = css(L.main.y);
  frameCanvas.style.width = css(L.main.w);
  frameCanvas.style.height = css(L.main.h);
  chromeCanvas.width = L.width * scale;
  chromeCanvas.height = L.height * scale;
  chromeCanvas.style.width = css(L.width);
  chromeCanvas.style.height = css(L.height);
  drawChrome(true);
}

// The icon is the puzzle as it starts, drawn from the start frame at the current scale when
// the About box first shows at that scale.
function drawIcon(side) {
  const at = M._vexal_icon(side);
  icon = document.createElement('canvas');
  icon.width = side;
  icon.height = side;
  icon.getContext('2d').putImageData(new ImageData(new Uint8ClampedArray(M.HEAPU8.subarray(at, at + side * side * 4)), side, side), 0, 0);
}

// --- Painting --------------------------------------------------------------------------------

function copyFrame() {
  const pixels = new Uint8ClampedArray(M.HEAPU8.buffer, M._vexal_frame(), 240 * 270 * 4);
  frameCtx.putImageData(new ImageData(pixels, 240, 270), 0, 0);
  if (!copyFrame.done) performance.mark('vexal-first-frame');  // the benchmark's finish line
  copyFrame.done = true;
}

function fill(r, colour) {
  chromeCtx.fillStyle = colour;
  chromeCtx.fillRect(r.x, r.y, r.w, r.h);
}

function frameRect(r, colour) {
  fill({ x: r.x, y: r.y, w: r.w, h: 1 }, colour);
  fill({ x: r.x, y: r.y + r.h - 1, w: r.w, h: 1 }, colour);
  fill({ x: r.x, y: r.y, w: 1, h: r.h }, colour);
  fill({ x: r.x + r.w - 1, y: r.y, w: 1, h: r.h }, colour);
}

function label(s, r, colour, { size = F.menu, bold = false, left = -1 } = {}) {
  chromeCtx.font = `${bold ? 'bold ' : ''}${size}px ${FONT}`;
  chromeCtx.fillStyle = colour;
  chromeCtx.textBaseline = 'middle';
  chromeCtx.textAlign = left < 0 ? 'center' : 'left';
  chromeCtx.fillText(s, left < 0 ? r.x + r.w / 2 : r.x + left, r.y + r.h / 2 + 0.5);
  return chromeCtx.measureText(s).width;
}

function titleBar(caption) {
  const r = L.titleBar;
  const g = chromeCtx.createLinearGradient(0, r.y, 0, r.y + r.h);
  g.addColorStop(0, C.titleTop);
  g.addColorStop(1, C.titleBottom);
  fill(r, g);
  label(caption, r, C.white, { size: F.title, bold: true, left: 8 });
}

function menuBar(state) {
  fill(L.menuBar, C.barFace);
  fill({ x: L.menuBar.x, y: L.menuBar.y, w: L.menuBar.w, h: 1 }, C.barLine);
  const lit = state[S.barPressed];
  L.bar.forEach((r, i) => {
    const ink = i === lit ? C.white : C.black;
    if (i === lit) fill({ x: r.x, y: r.y + 1, w: r.w, h: r.h - 1 }, C.highlight);
    else if (i > 0 && i - 1 !== lit) fill({ x: r.x, y: r.y + 6, w: 1, h: r.h - 12 }, C.barSeparator);
    const box = { x: r.x, y: r.y + 1, w: L.barPopup[i] < 0 ? r.w : r.w - 8, h: r.h - 1 };
    const width = Math.round(label(L.barCaptions[i], box, ink));
    if (L.barPopup[i] >= 0) {
      // The drop-down mark: five pixels wide, three high, pointing at the popup above.
      const x = r.x + Math.floor((r.w - 8 + width) / 2) + 3;
      for (let row = 0; row < 3; row++) fill({ x: x + 2 - row, y: r.y + 12 + row, w: 1 + 2 * row, h: 1 }, ink);
    }
  });
}

function buttons(state) {
  for (let i = 0; i < 5; i++) {
    const b = state[S.zOrder + i];
    if (!state[S.visible + b]) continue;
    const pressed = state[S.pressed + b] === 1;
    fill(L.buttons[b], pressed ? C.black : C.white);
    frameRect(L.buttons[b], C.black);
    label(L.buttonCaptions[b], L.buttons[b], pressed ? C.white : C.black);
  }
}

function popup(state) {
  const p = state[S.popup];
  if (p < 0) return;
  fill(L.popups[p], C.white);
  frameRect(L.popups[p], C.black);
  L.items[p].forEach((r, i) => {
    const hot = i === state[S.hot];
    if (hot) fill(r, C.highlight);
    label(L.itemCaptions[p][i], r, hot ? C.white : C.black, { left: 8 });
  });
}

function wrapped(s, x, y, width) {
  chromeCtx.font = `${F.body}px ${FONT}`;
  chromeCtx.fillStyle = C.black;
  chromeCtx.textAlign = 'left';
  chromeCtx.textBaseline = 'top';
  let line = '';
  for (const word of s.split(' ')) {
    const next = line ? `${line} ${word}` : word;
    if (line && chromeCtx.measureText(next).width > width) {
      chromeCtx.fillText(line, x, y);
      y += F.body + 2;
      line = word;
    } else {
      line = next;
    }
  }
  chromeCtx.fillText(line, x, y);
}

function about(state) {
  titleBar(T.aboutTitle);
  const done = L.aboutDone;
  const pressed = state[S.donePressed] === 1;
  fill(done, pressed ? C.white : C.highlight);
  frameRect(done, C.white);
  label('ok', done, pressed ? C.highlight : C.white, { size: F.title, bold: true });
  fill({ x: 0, y: L.titleBar.h, w: L.width, h: L.height - L.titleBar.h }, C.white);
  const r = L.aboutIcon;
  if (!icon || icon.width !== r.w * scale) drawIcon(r.w * scale);
  chromeCtx.drawImage(icon, r.x, r.y, r.w, r.h);
  const { x, tops } = L.aboutText;
  const width = L.width - x - 8;
  [T.version, T.acknowledgement, T.notice].forEach((words, i) => wrapped(words, x, L.titleBar.h + tops[i], width));
}

let drawnState = '';

// Redrawn only when something on it changed: a drag step leaves the chrome as it was.
function drawChrome(force) {
  const state = chromeState();
  const key = state.join();
  if (!force && key === drawnState) return;
  drawnState = key;
  chromeCtx.setTransform(scale, 0, 0, scale, 0, 0);
  chromeCtx.clearRect(0, 0, L.width, L.height);
  if (state[S.about]) {
    about(state);  // full screen and modal: the frame and the buttons lie under it
  } else {
    titleBar(T.title);
    menuBar(state);
    buttons(state);
    popup(state);
  }
  endedEl.hidden = state[S.ended] !== 1;
  // The About box is modal and an ended game takes nothing: the strip waits too.
  stripEl.inert = state[S.about] === 1 || state[S.ended] === 1;
}

// --- The strip -------------------------------------------------------------------------------

// Its buttons, made from the game's list of controls into the rows index.html names them in.
function buildStrip() {
  const index = {};
  ST.controls.forEach((c, i) => { index[c.id] = i; });
  for (const row of stripEl.querySelectorAll('[data-controls]')) {
    for (const id of row.dataset.controls.split(' ')) {
      const i = index[id];
      if (i === undefined) throw new Error(`the game's description has no strip control ${id}`);
      const b = document.createElement('button');
      b.type = 'button';
      b.textContent = ST.controls[i].label;
      if ([...b.textContent].length === 1) b.className = 'sign';  // a letter or an arrow: drawn larger
      b.setAttribute('aria-label', ST.controls[i].name);
      b.addEventListener('click', () => (id === 'share' ? share() : act(M._vexal_strip_press(i))));
      row.append(b);
      controls[i] = b;
    }
  }
}

let noted = null;  // the page's own line (a copied link...), shown until the strip says another

let drawnStrip = '';

// Drawn again only when something on it changed: a drag step leaves it as it was.
function drawStrip() {
  if (controls.length === 0) return;  // not built yet
  const at = M._vexal_strip_state() >> 2;
  const bits = M.HEAP32.subarray(at, at + controls.length);
  const status = cString(M._vexal_strip_text(ST.texts.status));
  const message = cString(M._vexal_strip_text(ST.texts.message));
  const key = `${bits.join()}\n${status}\n${message}`;
  if (key === drawnStrip) return;
  drawnStrip = key;
  controls.forEach((b, i) => {
    // A control that is not shown keeps its place, but in the first row, where the question's
    // answers take the others' place.
    if (b.parentNode.classList.contains('swap')) b.hidden = !(bits[i] & ST.bits.shown);
    else b.classList.toggle('gone', !(bits[i] & ST.bits.shown));
    b.setAttribute('aria-disabled', String(!(bits[i] & ST.bits.enabled)));
    if (ST.controls[i].toggle) b.setAttribute('aria-pressed', String(!!(bits[i] & ST.bits.selected)));
  });
  statusEl.textContent = status;
  if (noted === null || message !== noted.under) {
    noted = null;
    messageEl.textContent = message;
  }
}

function say(words) {
  noted = { under: cString(M._vexal_strip_text(ST.texts.message)) };
  messageEl.textContent = words;
}

// --- The kept game ---------------------------------------------------------------------------

const SAVE = 'vexalmini-save';
let kept = null;          // the save as last kept (or read), to write only what changed
let keepNothing = false;  // a later version's save is there: leave it alone
let keepTold = false;

function stored(key) {
  try {
    return localStorage.getItem(key);
  } catch {
    return null;  // storage turned off: nothing kept
  }
}

function store(key, text) {
  try {
    localStorage.setItem(key, text);
    return true;
  } catch {
    if (!keepTold) say('This browser does not let the page keep the game (its storage is full or turned off).');
    keepTold = true;
    return false;
  }
}

// After every move: the save when it changed ("" when it cannot be kept: the last one stands).
// Each write is whole, so two tabs never mix their saves; the last write wins.
function keep() {
  if (classic || keepNothing || !M) return;
  const text = cString(M._vexal_strip_text(ST.texts.save));
  if (!text || text === kept) return;
  if (store(SAVE, text)) kept = text;
  if (!stored(`${SAVE}.persist-asked`) && navigator.storage && navigator.storage.persist) {
    store(`${SAVE}.persist-asked`, '1');
    navigator.storage.persist().catch(() => {});
  }
}

// A save this page cannot read is kept aside under a key of its own, never over an older one.
function keepAside(text) {
  let key = `${SAVE}.bad`;
  for (let n = 2; stored(key) !== null; n++) key = `${SAVE}.bad.${n}`;
  if (!store(key, text)) keepNothing = true;  // not aside: then not overwritten either
}

function putText(which, text) {
  if (text === null) return;
  const bytes = new TextEncoder().encode(text).subarray(0, 65536);
  M.HEAPU8.set(bytes, M._vexal_text_in(which, bytes.length));
}

// The game with its strip: a link in the address (#g=), else ?seed=, else the kept game, else
// a new one. The link leaves the address once taken, so that a reload finds the kept game.
function openGame() {
  const hash = /^#g=(.*)$/s.exec(location.hash);
  let link = null;
  if (hash) {
    try {
      link = decodeURIComponent(hash[1]);
    } catch {
      link = hash[1];
    }
    history.replaceState(null, '', location.pathname + location.search);
  }
  const saved = hasSeed ? null : stored(SAVE);  // a seed always opens: the kept game is not read
  putText(0, link);
  putText(1, saved);
  const result = M._vexal_open(link === null ? 0 : 1, hasSeed ? 1 : 0, hasSeed ? Number(seedText) : 0, saved === null ? 0 : 1);
  kept = saved;
  keepNothing = (result & R.saveNewer) !== 0;
  if (result & R.saveBad) keepAside(saved);
  return result;
}

async function share() {
  const link = cString(M._vexal_strip_text(ST.texts.share));
  if (!link) {
    drawStrip();  // the strip says why
    return;
  }
  const url = `${location.origin}${location.pathname}#g=${link}`;
  if (navigator.share) {
    try {
      await navigator.share({ url });
      return;
    } catch (e) {
      if (e.name === 'AbortError') return;  // the player closed the share sheet
    }
  }
  try {
    await navigator.clipboard.writeText(url);
    say('Link copied');
  } catch {
    say('The link could not be copied: this browser did not allow it.');
  }
}

// --- Events ----------------------------------------------------------------------------------

function follow(result) {
  if (result & R.frameChanged) copyFrame();
  if (result & R.stripChanged) drawStrip();
  if (result & (R.helpCommand | R.helpKey)) {
    window.open(`help/${result & R.helpCommand ? T.helpCommand : T.helpKey}`, '_blank', 'noopener');
  }
  drawChrome();
  if (result & R.quit) document.getElementById('again').focus();
}

// Something the player did through the strip or a key: shown, and the game kept.
function act(result) {
  follow(result);
  keep();
}

// Screen pixel under a pointer; a point left of or above the screen comes out negative, and
// the shared stylus routing stops it at the main window's edge.
function at(e) {
  const r = screenEl.getBoundingClientRect();
  lastPoint = [Math.floor(((e.clientX - r.left) * L.width) / r.width), Math.floor(((e.clientY - r.top) * L.height) / r.height)];
  return lastPoint;
}

// The screen's place in the document, in whole CSS pixels: scrolling and pinch zoom leave it,
// a resize moves it.
function place() {
  const r = screenEl.getBoundingClientRect();
  return [r.left + scrollX, r.top + scrollY, r.width, r.height].map(Math.round).join();
}

// A turned phone or a resized window moves the screen under the stylus: the drag ends where it
// was last mapped, as when the capture is lost, and that pointer is ignored until it lifts.
function layoutChanged() {
  if (activePointer === null || stale || place() === dragPlace) return stale;
  stale = true;
  follow(M._vexal_pointer_up(...lastPoint));
  return true;
}

screenEl.addEventListener('pointerdown', (e) => {
  // The first pointer is the stylus until it is lifted; a second finger changes nothing.
  // Once the game has ended, only the page's own button answers.
  if (!M || !endedEl.hidden || activePointer !== null || (e.pointerType === 'mouse' && e.button !== 0)) return;
  e.preventDefault();
  activePointer = e.pointerId;
  dragPlace = place();
  screenEl.setPointerCapture(e.pointerId);
  follow(M._vexal_pointer_down(...at(e)));
});

screenEl.addEventListener('pointermove', (e) => {
  // While up, only a mouse hovers (it lights popup items); a finger or pen reports nothing.
  if (!M || (activePointer === null ? e.pointerType !== 'mouse' : e.pointerId !== activePointer || layoutChanged())) return;
  // Every sample the browser merged into this event, as the device reports every move.
  const samples = e.getCoalescedEvents ? e.getCoalescedEvents() : [];
  let result = 0;
  for (const s of samples.length ? samples : [e]) result |= M._vexal_pointer_move(...at(s));
  follow(result);
});

function lift(e) {
  if (!M || e.pointerId !== activePointer) return;
  const released = layoutChanged();
  activePointer = null;
  stale = false;
  if (!released) act(M._vexal_pointer_up(...at(e)));
}
screenEl.addEventListener('pointerup', lift);
screenEl.addEventListener('pointercancel', lift);
screenEl.addEventListener('lostpointercapture', lift);
screenEl.addEventListener('contextmenu', (e) => e.preventDefault());

// The SDL window's keys. A browser keeps some for itself (Ctrl+Q, Ctrl+W, ...): those never
// reach the page. A held key repeats only to walk a popup.
const KEYS = { F1: 'help', Escape: 'escape', Enter: 'enter', ArrowUp: 'up', ArrowDown: 'down' };
// Ctrl+letter as Windows' virtual keys match it: the letter typed when it is a Latin one
// (AZERTY's A is A), else the key's place (the Cyrillic Ф is on A).
function latinLetter(e) {
  if (/^[a-z]$/i.test(e.key)) return e.key.toLowerCase();
  const m = /^Key([A-Z])$/.exec(e.code);
  return m ? m[1].toLowerCase() : '';
}

// The strip's keys: U D L R F B turn a side (Shift: the other way), X Y Z the whole puzzle, H a hint;
// Ctrl+Z undoes, Ctrl+Y and Ctrl+Shift+Z redo (and with Cmd on a Mac). The game takes them only
// while no popup or About box is open.
function stripKey(e) {
  if (classic || e.altKey) return undefined;
  const letter = latinLetter(e);
  if (e.ctrlKey || e.metaKey) return letter === 'z' ? (e.shiftKey ? ST.keys.redo : ST.keys.undo) : letter === 'y' ? ST.keys.redo : undefined;
  return /^[a-z]$/.test(letter) && letter in ST.keys ? ST.keys[letter] : undefined;
}

window.addEventListener('keydown', (e) => {
  if (!M || !endedEl.hidden) return;
  // Enter and Space work the strip's focused button, as on any button.
  if ((e.key === 'Enter' || e.key === ' ') && e.target.closest && e.target.closest('#strip')) return;
  const key = stripKey(e);
  if (key !== undefined) {
    e.preventDefault();
    if (!e.repeat || e.ctrlKey || e.metaKey) act(M._vexal_strip_key(key, e.shiftKey && !e.ctrlKey && !e.metaKey ? 1 : 0));
    return;
  }
  const letter = e.ctrlKey && !e.altKey ? latinLetter(e) : '';
  const name = letter === 'a' ? 'ctrlA' : letter === 'q' ? 'ctrlQ' : e.ctrlKey || e.altKey ? undefined : KEYS[e.key];
  if (name === undefined) return;
  e.preventDefault();
  if (e.repeat && name !== 'up' && name !== 'down') return;
  act(M._vexal_key(K[name]));
});

function start() {
  activePointer = null;
  stale = false;
  const result = classic ? M._vexal_start(hasSeed ? 1 : 0, hasSeed ? Number(seedText) : 0) : openGame();
  icon = null;
  placeScreen();
  follow(result);
  requestAnimationFrame(() => setTimeout(keep));  // once the frame is on the screen
}

// Start again: a new game on the handheld alone; with the strip, the game goes on where it was.
document.getElementById('again').addEventListener('click', () => (classic ? start() : follow(M._vexal_resume())));
window.addEventListener('resize', () => {
  if (!M) return;
  placeScreen();
  layoutChanged();
});
if (!classic) {
  window.addEventListener('hashchange', () => {
    if (M && /^#g=/.test(location.hash)) start();
  });
  // The clock moves on while the page shows, and pauses while it is hidden.
  setInterval(() => M && follow(M._vexal_tick()), 250);
  document.addEventListener('visibilitychange', () => {
    if (!M) return;
    follow(M._vexal_visible(document.visibilityState === 'visible' ? 1 : 0));
    keep();
  });
  window.addEventListener('pagehide', keep);
}

// The chrome's state by name, for the page's tests.
window.vexalState = () => {
  const s = chromeState();
  const buttons = (slot) => ['shuffle', 'newskin', 'minus', 'plus', 'ok'].reduce((o, b, i) => ({ ...o, [b]: s[slot + i] === 1 }), {});
  return {
    ended: s[S.ended] === 1, about: s[S.about] === 1, popup: s[S.popup], visible: buttons(S.visible), pressed: buttons(S.pressed),
    status: statusEl.textContent, message: messageEl.textContent,
  };
};

// A download that failed or a game that would not start: said plainly, with a way to retry.
function failed(error) {
  console.error('Vexal Mini could not start:', error);
  M = null;
  screenEl.hidden = true;
  showLine('failed');
  document.body.dataset.ready = 'failed';
}
document.getElementById('retry').addEventListener('click', () => location.reload());

try {
  VexalModule().then((module) => {
    M = module;
    readDescription();
    if (classic) {
      start();
      document.body.dataset.ready = '1';
      return;
    }
    // The strip's place first, empty: style.css gives it its full size, so the screen is
    // placed where it stays. Its buttons and their words follow the first painted frame,
    // which then waits for none of their layout.
    stripEl.hidden = false;
    start();
    requestAnimationFrame(() => setTimeout(() => {
      try {
        buildStrip();
        drawStrip();
        document.body.dataset.ready = '1';
      } catch (error) {
        failed(error);
      }
    }));
  }).catch(failed);
} catch (error) {
  failed(error);  // vexalmini.js did not load or run
}

if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
