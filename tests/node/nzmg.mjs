// An independent conversion of New Zealand Map Grid positions for the tests:
// the npm package proj4 with LINZ's NZGD49 to NZGD2000 distortion grid.
//
//   node nzmg.mjs GRID.gsb REQUEST.json > answer.json
//
// The request holds "toNzmg": [[latitude, longitude], ...] (NZGD2000) and
// "fromNzmg": [[easting, northing], ...]; the answer gives "nzmg" for the
// first, and "nzgd2000" ([latitude, longitude]) and "nztm" ([easting,
// northing]) for the second (null where the grid does not reach).
import proj4 from 'proj4';
import { readFileSync } from 'fs';

// proj4 says where its grid does not reach on the console: not in the answer.
console.log = (...args) => console.error(...args);

const grid = readFileSync(process.argv[2]);
proj4.nadgrid('nzgd2k', grid.buffer.slice(grid.byteOffset, grid.byteOffset + grid.byteLength));
const nzmg = '+proj=nzmg +lat_0=-41 +lon_0=173 +x_0=2510000 +y_0=6023150 +ellps=intl +nadgrids=@nzgd2k +units=m +no_defs';
const nzgd2000 = '+proj=longlat +ellps=GRS80 +no_defs';
const nztm = '+proj=tmerc +lat_0=0 +lon_0=173 +k=0.9996 +x_0=1600000 +y_0=10000000 +ellps=GRS80 +units=m +no_defs';

const request = JSON.parse(readFileSync(process.argv[3], 'utf8'));
const answer = { nzmg: [], nzgd2000: [], nztm: [] };
for (const [lat, lon] of request.toNzmg ?? [])
  answer.nzmg.push(proj4(nzgd2000, nzmg, [lon, lat]));
// A point the grid does not reach is answered with null.
for (const [e, n] of request.fromNzmg ?? []) {
  try {
    const [lon, lat] = proj4(nzmg, nzgd2000, [e, n]);
    answer.nzgd2000.push([lat, lon]);
    answer.nztm.push(proj4(nzgd2000, nztm, [lon, lat]));
  } catch (e) {
    answer.nzgd2000.push(null);
    answer.nztm.push(null);
  }
}
process.stdout.write(JSON.stringify(answer));
