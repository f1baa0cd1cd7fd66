// The same scripts give the same numbers in node (vexal-replay.js, musl's libm, WebAssembly)
// as natively: byte-identical state JSON, and every painted frame identical pixel for pixel.
//   node fidelity.js NATIVE_REPLAY NODE_REPLAY_JS
'use strict';

const test = require('node:test');
const assert = require('node:assert');
const fs = require('node:fs');
const path = require('node:path');
const h = require('./harness.js');

const [nativeReplay, nodeReplay] = process.argv.slice(2);

// Seeds and lengths: a few hundred events each; every script has every kind of event, and
// skin changes, so both skins are drawn.
const SCRIPTS = [
  { seed: 1, events: 300 }, { seed: 7, events: 300 }, { seed: 1234, events: 400 },
  { seed: 99991, events: 300 }, { seed: 4294967295, events: 300 }, { seed: 20240, events: 500 },
];

for (const { seed, events } of SCRIPTS) {
  test(`seed ${seed}, ${events} events`, () => {
    const dir = h.tempDir('fidelity');
    try {
      const script = path.join(dir, 'events.txt');
      fs.writeFileSync(script, h.makeScript(seed, events));
      const frames = {};
      const state = {};
      for (const [name, program] of [['native', nativeReplay], ['node', nodeReplay]]) {
        frames[name] = path.join(dir, name);
        fs.mkdirSync(frames[name]);
        state[name] = h.runReplay(program, [script, '--state', '--frames', frames[name]]);
      }
      assert.equal(state.node, state.native, 'state JSON differs');
      const names = fs.readdirSync(frames.native).sort();
      assert.deepEqual(fs.readdirSync(frames.node).sort(), names, 'different frames were painted');
      for (const name of names) {
        const want = h.readFrame(path.join(frames.native, name)).rgb;
        const got = h.readFrame(path.join(frames.node, name)).rgb;
        assert.equal(h.frameDifference(want, got), '', name);
      }
    } finally {
      fs.rmSync(dir, { recursive: true, force: true });
    }
  });
}
