// Reads a G-code file with the toolpath engine and prints every move on a
// line of its own: "line x1 y1 z1 x2 y2 z2" or "arc x1 y1 z1 x2 y2 z2 i j
// G2|G3" (i, j: the fixed point the engine computed, then the arc's sense).
// Exits with 1 when the file cannot be read.
const fs = require('fs');
const Toolpath = require('gcode-toolpath');

const out = [];
const f = (v) => [v.x, v.y, v.z].map((n) => Number(n).toFixed(4)).join(' ');
const toolpath = new Toolpath({
  addLine: (modal, v1, v2) => out.push(`line ${f(v1)} ${f(v2)}`),
  addArcCurve: (modal, v1, v2, v0) =>
    out.push(`arc ${f(v1)} ${f(v2)} ${Number(v0.x).toFixed(4)} ${Number(v0.y).toFixed(4)} ${modal.motion}`),
});
try {
  toolpath.loadFromStringSync(fs.readFileSync(process.argv[2], 'latin1'));
} catch (e) {
  console.error(String(e));
  process.exit(1);
}
process.stdout.write(out.join('\n') + '\n');
