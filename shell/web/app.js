// The page around the WebAssembly game: pointer events and keys in, the frame and the
// handheld's chrome (title bar, menu bar, popups, buttons, About box) out. What the chrome
// shows and does comes from the shared window system (shell/handheld) through the C API.
'use strict';

// Bits of an event's result and the state's slots, as shell/web/web_api.h numbers them.
const FRAME_CHANGED = 1;
const QUIT = 2;
const HELP_COMMAND = 4;
const HELP_KEY = 8;
const S = { ended: 0, popup: 1, hot: 2, about: 3, donePressed: 4, barPressed: 5, zOrder: 6, visible: 11, pressed: 16 };
const T = { title: 0, aboutTitle: 1, version: 2, acknowledgement: 3, notice: 4, helpCommand: 5, helpKey: 6, menuBar: 7, popupItem: 12, button: 16 };

// The Pocket PC look, as the SDL window paints it.
const C = {
  titleTop: '#2e5cb8', titleBottom: '#0b2d7a', white: '#fff', black: '#000',
  barFace: '#dce4f0', barLine: '#6c82b0', barSeparator: '#a8b8d0', highlight: '#0b2d7a',
};
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
let L = null;        // the layout
let scale = 1;       // device pixels per screen pixel
let icon = null;     // the About box's icon, drawn from the start frame
let activePointer = null;
let dragPlace = '';  // where the screen lay when the stylus went down
let lastPoint = [0, 0];  // the last point the game was given
let stale = false;   // the stylus was released by a layout change; ignored until it lifts

function text(i) {
  const at = M._vexal_text(i);
  let end = at;
  while (M.HEAPU8[end] !== 0) end++;
  return new TextDecoder().decode(M.HEAPU8.subarray(at, end));
}

function readLayout() {
  const v = M.HEAP32.subarray(M._vexal_layout() >> 2);
  const rect = (i) => ({ x: v[i * 4], y: v[i * 4 + 1], w: v[i * 4 + 2], h: v[i * 4 + 3] });
  const r = (i, n) => Array.from({ length: n }, (_, k) => rect(i + k));
  return {
    titleBar: rect(0), main: rect(1), menuBar: rect(2), bar: r(3, 5), popups: r(8, 2),
    items: [r(10, 2), r(12, 2)], buttons: r(14, 5), aboutDone: rect(19), aboutIcon: rect(20),
    width: v[84], height: v[85],
    barCaptions: [0, 1, 2, 3, 4].map((i) => text(T.menuBar + i)),
    barPopup: [0, -1, -1, -1, 1],
    itemCaptions: [0, 1].map((p) => [0, 1].map((i) => text(T.popupItem + p * 2 + i))),
    buttonCaptions: [0, 1, 2, 3, 4].map((i) => text(T.button + i)),
  };
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

function label(s, r, colour, { size = 12, bold = false, left = -1 } = {}) {
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
  label(caption, r, C.white, { size: 13, bold: true, left: 8 });
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
  chromeCtx.font = `11px ${FONT}`;
  chromeCtx.fillStyle = C.black;
  chromeCtx.textAlign = 'left';
  chromeCtx.textBaseline = 'top';
  let line = '';
  for (const word of s.split(' ')) {
    const next = line ? `${line} ${word}` : word;
    if (line && chromeCtx.measureText(next).width > width) {
      chromeCtx.fillText(line, x, y);
      y += 13;
      line = word;
    } else {
      line = next;
    }
  }
  chromeCtx.fillText(line, x, y);
}

function about(state) {
  titleBar(text(T.aboutTitle));
  const done = L.aboutDone;
  const pressed = state[S.donePressed] === 1;
  fill(done, pressed ? C.white : C.highlight);
  frameRect(done, C.white);
  label('ok', done, pressed ? C.highlight : C.white, { size: 13, bold: true });
  fill({ x: 0, y: L.titleBar.h, w: L.width, h: L.height - L.titleBar.h }, C.white);
  const r = L.aboutIcon;
  chromeCtx.drawImage(icon, r.x, r.y, r.w, r.h);
  const x = 51;
  const width = L.width - x - 8;
  wrapped(text(T.version), x, L.titleBar.h + 16, width);
  wrapped(text(T.acknowledgement), x, L.titleBar.h + 41, width);
  wrapped(text(T.notice), x, L.titleBar.h + 86, width);
}

let drawnState = '';

// Redrawn only when something on it changed: a drag step leaves the chrome as it was.
function drawChrome(force) {
  const state = M.HEAP32.subarray(M._vexal_state() >> 2, (M._vexal_state() >> 2) + 21);
  const key = state.join();
  if (!force && key === drawnState) return;
  drawnState = key;
  chromeCtx.setTransform(scale, 0, 0, scale, 0, 0);
  chromeCtx.clearRect(0, 0, L.width, L.height);
  if (state[S.about]) {
    about(state);  // full screen and modal: the frame and the buttons lie under it
  } else {
    titleBar(text(T.title));
    menuBar(state);
    buttons(state);
    popup(state);
  }
  endedEl.hidden = state[S.ended] !== 1;
}

// --- Events ----------------------------------------------------------------------------------

function follow(result) {
  if (result & FRAME_CHANGED) copyFrame();
  if (result & (HELP_COMMAND | HELP_KEY)) {
    window.open(`help/${text(result & HELP_COMMAND ? T.helpCommand : T.helpKey)}`, '_blank', 'noopener');
  }
  drawChrome();
  if (result & QUIT) document.getElementById('again').focus();
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
const KEYS = { F1: 2, Escape: 3, Enter: 4, ArrowUp: 5, ArrowDown: 6 };
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
  const key = letter === 'a' ? 0 : letter === 'q' ? 1 : e.ctrlKey || e.altKey ? undefined : KEYS[e.key];
  if (key === undefined) return;
  e.preventDefault();
  if (e.repeat && key !== 5 && key !== 6) return;
  follow(M._vexal_key(key));
});

function start() {
  activePointer = null;
  stale = false;
  M._vexal_start(hasSeed ? 1 : 0, hasSeed ? Number(seedText) : 0);
  icon = null;
  placeScreen();
  follow(FRAME_CHANGED);
}

document.getElementById('again').addEventListener('click', start);
window.addEventListener('resize', () => {
  if (!M) return;
  placeScreen();
  layoutChanged();
});

// The chrome's state as numbers, for the page's tests.
window.vexalState = () => Array.from(M.HEAP32.subarray(M._vexal_state() >> 2, (M._vexal_state() >> 2) + 21));

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
    L = readLayout();
    start();
    document.body.dataset.ready = '1';
  }).catch(failed);
} catch (error) {
  failed(error);  // vexalmini.js did not load or run
}

if ('serviceWorker' in navigator) navigator.serviceWorker.register('sw.js').catch(() => {});
