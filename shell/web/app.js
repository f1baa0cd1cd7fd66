// The page around the WebAssembly game: pointer events and keys in, the frame and the
// handheld's chrome (title bar, menu bar, popups, buttons, About box) out. What the chrome
// shows and does comes from the shared window system (shell/handheld) through the C API.
'use strict';

const FONT = '"DejaVu Sans", Verdana, Arial, sans-serif';

const pageEl = document.getElementById('page');
const screenEl = document.getElementById('screen');
const frameCanvas = document.getElementById('frame');
const chromeCanvas = document.getElementById('chrome');
const frameCtx = frameCanvas.getContext('2d');
const chromeCtx = chromeCanvas.getContext('2d');
const endedEl = document.getElementById('ended');

const seedText = new URLSearchParams(location.search).get('seed');
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
let scale = 1;       // device pixels per screen pixel
let icon = null;     // the About box's icon, drawn from the start frame
let activePointer = null;
let dragPlace = '';  // where the screen lay when the stylus went down
let lastPoint = [0, 0];  // the last point the game was given
let stale = false;   // the stylus was released by a layout change; ignored until it lifts

function strict(value, path) {
  if (value === null || typeof value !== 'object') return value;
  return new Proxy(value, {
    get(target, name) {
      if (typeof name === 'symbol' || name in target) return strict(target[name], `${path}.${String(name)}`);
      throw new Error(`the game's description has no ${path}.${name}`);
    },
  });
}

function readDescription() {
  const at = M._vexal_describe();
  let end = at;
  while (M.HEAPU8[end] !== 0) end++;
  const d = strict(JSON.parse(new TextDecoder().decode(M.HEAPU8.subarray(at, end))), 'description');
  ({ result: R, keys: K, state: S, text: T, fonts: F, colours: C } = d);
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
// screen at 2x, as the SDL window does.
function fitScale() {
  const dpr = window.devicePixelRatio || 1;
  const root = document.documentElement;
  const lines = pageEl.offsetHeight - screenEl.offsetHeight;
  let s = Math.floor(Math.min((root.clientWidth * dpr) / L.width, ((root.clientHeight - lines) * dpr) / L.height));
  if (matchMedia('(pointer: fine)').matches) s = Math.min(s, Math.round(2 * dpr));
  return Math.max(1, s);
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
  const side = L.aboutIcon.w * scale;
  if (!icon || icon.width !== side) drawIcon(side);
  drawChrome(true);
}

// The icon is the puzzle as it starts, drawn from the start frame at the current scale.
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
}

// --- Events ----------------------------------------------------------------------------------

function follow(result) {
  if (result & R.frameChanged) copyFrame();
  if (result & (R.helpCommand | R.helpKey)) {
    window.open(`help/${result & R.helpCommand ? T.helpCommand : T.helpKey}`, '_blank', 'noopener');
  }
  drawChrome();
  if (result & R.quit) document.getElementById('again').focus();
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
  if (!released) follow(M._vexal_pointer_up(...at(e)));
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

window.addEventListener('keydown', (e) => {
  if (!M || !endedEl.hidden) return;
  const letter = e.ctrlKey && !e.altKey ? latinLetter(e) : '';
  const name = letter === 'a' ? 'ctrlA' : letter === 'q' ? 'ctrlQ' : e.ctrlKey || e.altKey ? undefined : KEYS[e.key];
  if (name === undefined) return;
  e.preventDefault();
  if (e.repeat && name !== 'up' && name !== 'down') return;
  follow(M._vexal_key(K[name]));
});

function start() {
  activePointer = null;
  stale = false;
  M._vexal_start(hasSeed ? 1 : 0, hasSeed ? Number(seedText) : 0);
  icon = null;
  placeScreen();
  follow(R.frameChanged);
}

document.getElementById('again').addEventListener('click', start);
window.addEventListener('resize', () => {
  if (!M) return;
  placeScreen();
  layoutChanged();
});

// The chrome's state by name, for the page's tests.
window.vexalState = () => {
  const s = chromeState();
  const buttons = (slot) => ['shuffle', 'newskin', 'minus', 'plus', 'ok'].reduce((o, b, i) => ({ ...o, [b]: s[slot + i] === 1 }), {});
  return { ended: s[S.ended] === 1, about: s[S.about] === 1, popup: s[S.popup], visible: buttons(S.visible), pressed: buttons(S.pressed) };
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
    start();
    document.body.dataset.ready = '1';
  }).catch(failed);
} catch (error) {
  failed(error);  // vexalmini.js did not load or run
}

if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
