// Runs the built map page in Chromium against a loopback tile server.
//   CORVANE_MAP_PAGE      the built page (Corvane.htm)
//   CORVANE_NODE_MODULES  the node_modules folder of the page's build
//   CORVANE_CHROMIUM      the browser (default /usr/bin/chromium)
import { createServer } from 'node:http';
import { mkdtemp, copyFile, writeFile, rm } from 'node:fs/promises';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

const nodeModules = process.env.CORVANE_NODE_MODULES;
const pagePath = process.env.CORVANE_MAP_PAGE;
if (!nodeModules || !pagePath) throw new Error('CORVANE_NODE_MODULES and CORVANE_MAP_PAGE must be set');
const require = createRequire(join(nodeModules, 'noop.js'));
const { chromium } = require('playwright-core');
const { PNG } = require('pngjs');
export const proj4 = require('proj4');

proj4.defs('EPSG:5179',
  '+proj=tmerc +lat_0=38 +lon_0=127.5 +k=0.9996 +x_0=1000000 +y_0=2000000 ' +
  '+ellps=GRS80 +towgs84=0,0,0,0,0,0,0 +units=m +no_defs');

// Colours of the marker images mark0.png to mark5.png and of the tiles, far
// apart so that a pixel tells which image is drawn there.
export const MARK_COLOURS = [
  [0, 0, 255], [0, 0, 96], [0, 255, 0], [0, 96, 0], [255, 128, 192], [160, 0, 0],
];
export const TILE_COLOUR = [200, 200, 200];

export function solidPng(width, height, [r, g, b]) {
  const png = new PNG({ width, height });
  for (let i = 0; i < width * height; ++i) png.data.set([r, g, b, 255], i * 4);
  return PNG.sync.write(png);
}

export function pixelOf(pngBytes, x, y) {
  const png = PNG.sync.read(pngBytes);
  const i = (y * png.width + x) * 4;
  return [png.data[i], png.data[i + 1], png.data[i + 2]];
}

// Which marker image a colour comes from; -1 for none.
export function markOfColour(colour) {
  const distance = (a) => a.reduce((sum, v, i) => sum + Math.abs(v - colour[i]), 0);
  const best = MARK_COLOURS.map((c, typ) => [distance(c), typ]).sort((a, b) => a[0] - b[0])[0];
  return best[0] < 40 ? best[1] : -1;
}

// Easting and northing (EPSG:5179) of a WGS84 position.
export function toMap(lat, lon) {
  return proj4('WGS84', 'EPSG:5179', [lon, lat]);
}

async function startTileServer() {
  const tile = solidPng(256, 256, TILE_COLOUR);
  const requests = [];
  const server = createServer((request, response) => {
    requests.push(request.url);
    response.writeHead(200, { 'Content-Type': 'image/png', 'Cache-Control': 'no-store' });
    response.end(tile);
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { server, requests, base: `http://127.0.0.1:${server.address().port}` };
}

// One browser per test file, closed by closeBrowser (call it in an after
// hook); every page gets a context of its own.
let browserPromise = null;
function sharedBrowser() {
  browserPromise ??= chromium.launch({
    executablePath: process.env.CORVANE_CHROMIUM || '/usr/bin/chromium',
    args: ['--no-sandbox', '--headless', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--no-first-run', '--disable-sync'],
    timeout: 30000,
  });
  return browserPromise;
}
export async function closeBrowser() {
  if (browserPromise) await (await browserPromise).close();
  browserPromise = null;
}

// Opens the page in a fresh browser context. `query(base)` gives the page's query
// parameters for the tile server's address. The page's calls of
// window.external are recorded in `page` as window.hostCalls.
export async function openPage({ query = (base) => ({ tileServer: `${base}/wmts` }), width = 800, height = 600 } = {}) {
  const folder = await mkdtemp(join(tmpdir(), 'corvane-map-'));
  await copyFile(pagePath, join(folder, 'Corvane.htm'));
  for (const [typ, colour] of MARK_COLOURS.entries()) {
    await writeFile(join(folder, `mark${typ}.png`), solidPng(22, 34, colour));
  }
  const tiles = await startTileServer();
  const context = await (await sharedBrowser()).newContext({ viewport: { width, height } });
  const page = await context.newPage();
  const dialogs = [];
  page.on('dialog', (dialog) => {
    dialogs.push(dialog.message());
    dialog.dismiss().catch(() => {});
  });
  await page.addInitScript(() => {
    window.hostCalls = [];
    window.external = {
      UpdateMap: (...args) => window.hostCalls.push(['UpdateMap', ...args]),
      UpdateMark: (...args) => window.hostCalls.push(['UpdateMark', ...args]),
    };
  });
  const url = pathToFileURL(join(folder, 'Corvane.htm'));
  for (const [key, value] of Object.entries(query(tiles.base))) url.searchParams.set(key, String(value));
  await page.goto(url.href, { waitUntil: 'load' });
  await page.waitForFunction(() => typeof window.MoveMap === 'function');

  const call = (name, ...args) => page.evaluate(([n, a]) => window[n](...a), [name, args]);
  const hostCalls = () => page.evaluate(() => window.hostCalls);
  // Waits a little for the map to draw (for checks that something stays away).
  const settle = () => page.waitForTimeout(400);
  // The value of `read()` once `check` accepts it, or its last value after 15 s:
  // the map draws and reports asynchronously, later on a loaded machine.
  const eventually = async (read, check) => {
    const end = Date.now() + 15000;
    for (;;) {
      const value = await read();
      if (check(value) || Date.now() > end) return value;
      await page.waitForTimeout(100);
    }
  };
  // The marker image drawn 12 pixels above a marker's anchor at the pixel.
  const markAt = async (x, y) => {
    const shot = await page.screenshot({ clip: { x, y: y - 12, width: 1, height: 1 } });
    return markOfColour(pixelOf(shot, 0, 0));
  };
  const markEventually = (x, y, typ) => eventually(() => markAt(x, y), (v) => v === typ);
  const pixelEventually = (x, y, colour) => eventually(async () =>
    pixelOf(await page.screenshot({ clip: { x, y, width: 1, height: 1 } }), 0, 0),
  (v) => v.every((c, i) => c === colour[i]));
  const close = async () => {
    await context.close();
    await new Promise((resolve) => tiles.server.close(resolve));
    tiles.server.closeAllConnections?.();
    await rm(folder, { recursive: true, force: true });
  };
  return {
    page, tiles, dialogs, call, hostCalls, settle, eventually, markAt, markEventually, pixelEventually,
    close, width, height,
  };
}

// The page's initial view: zoom 0 centred here (easting, northing).
export const INITIAL_CENTER = [989862.64050019, 1827768.3262193];
export const RESOLUTION_0 = 1954.5973888747778;

// Latitude and longitude of a map position (easting, northing).
export function toPosition([easting, northing]) {
  const [lon, lat] = proj4('EPSG:5179', 'WGS84', [easting, northing]);
  return [lat, lon];
}
