// Reads "t rh x p" lines (°C, %, kg/kg, kPa) from the file named first and
// prints, per line, what the ASHRAE formulas of psychrolib give: the wet bulb
// from t and rh, and at the humidity ratio x the dew point, the specific
// volume, the moist-air density and the vapour pressure (kPa).
// Usage: node psychrolib-reference.js INPUT PSYCHROLIB_DIR
const fs = require('fs');
const path = require('path');
const psychrolib = require(path.join(process.argv[3], 'node_modules', 'psychrolib'));
psychrolib.SetUnitSystem(psychrolib.SI);
const out = [];
for (const line of fs.readFileSync(process.argv[2], 'utf8').split('\n')) {
  if (!line.trim()) continue;
  const [t, rh, x, p] = line.trim().split(/\s+/).map(Number);
  const pa = p * 1000;
  out.push([
    psychrolib.GetTWetBulbFromRelHum(t, rh / 100, pa),
    psychrolib.GetTDewPointFromHumRatio(t, x, pa),
    psychrolib.GetMoistAirVolume(t, x, pa),
    psychrolib.GetMoistAirDensity(t, x, pa),
    psychrolib.GetVapPresFromHumRatio(x, pa) / 1000,
  ].map(v => v.toPrecision(17)).join(' '));
}
console.log(out.join('\n'));
