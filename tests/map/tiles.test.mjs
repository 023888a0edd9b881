// The base maps: national WMTS tiles on the EPSG:5179 grid, XYZ tiles
// reprojected, and no tile server at all.
import { after, test } from 'node:test';
import assert from 'node:assert/strict';
import { INITIAL_CENTER, closeBrowser, RESOLUTION_0, TILE_COLOUR, openPage, proj4, toPosition } from './page_harness.mjs';

after(closeBrowser);

function wmtsRequests(urls) {
  return urls.filter((u) => u.startsWith('/wmts?')).map((u) => {
    const q = new URLSearchParams(u.slice(u.indexOf('?') + 1));
    const get = (k) => q.get([...q.keys()].find((key) => key.toLowerCase() === k));
    return {
      layer: get('layer'), set: get('tilematrixset'), format: get('format'), style: get('style'),
      service: get('service'), request: get('request'),
      matrix: get('tilematrix'), col: Number(get('tilecol')), row: Number(get('tilerow')),
    };
  });
}

// The tile (column, row) of the national grid holding a map position at a
// zoom level index; the grid's origin is the top left corner (-200000, 4000000).
function gridTile([easting, northing], zoom) {
  const span = 256 * RESOLUTION_0 / 2 ** zoom;
  return [Math.floor((easting + 200000) / span), Math.floor((4000000 - northing) / span)];
}

test('national tiles are requested with the layer, matrix set and the EPSG:5179 grid', async () => {
  const p = await openPage();
  try {
    const moved = [955000, 1950000];
    const matrices = [];
    for (const [zoom, centre] of [[0, INITIAL_CENTER], [5, moved], [13, moved]]) {
      matrices.push(String(zoom + 6));
      if (zoom !== 0) await p.call('MoveMap', zoom, centre[1], centre[0]);
      const [col, row] = gridTile(centre, zoom);
      const tiles = await p.eventually(async () => wmtsRequests(p.tiles.requests),
        (t) => t.some((x) => x.matrix === matrices.at(-1) && x.col === col && x.row === row));
      assert.ok(tiles.some((t) => t.matrix === matrices.at(-1) && t.col === col && t.row === row),
        `centre tile ${matrices.at(-1)}/${col}/${row} among ${JSON.stringify(tiles.map((t) => [t.matrix, t.col, t.row]))}`);
      for (const t of tiles) {
        assert.deepEqual([t.layer, t.set, t.format, t.style, t.service, t.request],
          ['NGII_EMAP', 'nativeTileMatrixSet', 'image/png', '_null', 'WMTS', 'GetTile']);
        // Tiles of the levels shown so far only (a move leaves requests in flight).
        assert.ok(matrices.includes(t.matrix), `matrix ${t.matrix}`);
      }
    }
  } finally {
    await p.close();
  }
});

test('XYZ tiles are requested around the same place when the base map is 1', async () => {
  const p = await openPage({ query: (base) => ({ baseMap: 1, tileUrl: `${base}/xyz/{z}/{x}/{y}.png`, tileServer: `${base}/wmts` }) });
  try {
    await p.call('MoveMap', 6, 1950000, 955000);
    await p.eventually(async () => p.tiles.requests.length, (n) => n >= 4);
    await p.settle();
    const tiles = p.tiles.requests.filter((u) => u.startsWith('/xyz/'))
      .map((u) => u.match(/^\/xyz\/(\d+)\/(\d+)\/(\d+)\.png$/).slice(1).map(Number));
    assert.ok(tiles.length > 0);
    assert.ok(p.tiles.requests.every((u) => !u.startsWith('/wmts')), 'no national tiles');
    // The centre in Web Mercator tile numbers at the zoom the page asked for.
    const [lat, lon] = toPosition([955000, 1950000]);
    const z = tiles[0][0];
    const [x, y] = proj4('WGS84', 'EPSG:3857', [lon, lat]);
    const n = 2 ** z, half = 20037508.342789244;
    const tx = Math.floor((x + half) / (2 * half) * n), ty = Math.floor((half - y) / (2 * half) * n);
    assert.ok(tiles.some(([tz, cx, cy]) => tz === z && cx === tx && cy === ty),
      `centre tile ${z}/${tx}/${ty} among ${JSON.stringify(tiles)}`);
    // The page draws them.
    assert.deepEqual(await p.pixelEventually(p.width / 2, p.height / 2, TILE_COLOUR), TILE_COLOUR);
  } finally {
    await p.close();
  }
});

test('without a tile server the page shows its background and the markers', async () => {
  for (const query of [() => ({ tileServer: 'http://127.0.0.1:9/wmts' }), () => ({ tileServer: 'javascript:alert(1)' }),
    () => ({ baseMap: 1, tileUrl: 'file:///etc/{z}/{x}/{y}' })]) {
    const p = await openPage({ query });
    try {
      const [lat, lon] = toPosition(INITIAL_CENTER);
      await p.call('AddMark', lat, lon, 'SEOI', '', 0);
      assert.equal(await p.markEventually(p.width / 2, p.height / 2, 0), 0);
      const background = [0xfc, 0xf8, 0xe3];
      assert.deepEqual(await p.pixelEventually(20, 20, background), background);
      assert.deepEqual(p.dialogs, []);
    } finally {
      await p.close();
    }
  }
});
