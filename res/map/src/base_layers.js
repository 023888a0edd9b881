// The base map under the markers: the national base map as WMTS tiles in
// EPSG:5179, or XYZ tiles (Web Mercator) that the library reprojects.
import TileLayer from 'ol/layer/Tile.js';
import WMTS from 'ol/source/WMTS.js';
import XYZ from 'ol/source/XYZ.js';
import WMTSTileGrid from 'ol/tilegrid/WMTS.js';
import { MAP_EXTENT, MAP_PROJECTION } from './projections.js';

// Metres per pixel of the zoom levels 0 to 13 (tile matrices "6" to "19").
export const RESOLUTIONS = Array.from({ length: 14 }, (_, i) => 1954.5973888747778 / 2 ** i);
export const MATRIX_IDS = RESOLUTIONS.map((_, i) => String(i + 6));

// A tile address is used only when it is an absolute http or https URL.
function webUrl(text) {
  if (typeof text !== 'string' || text === '') return null;
  try {
    const url = new URL(text);
    return url.protocol === 'http:' || url.protocol === 'https:' ? text : null;
  } catch {
    return null;
  }
}

function nationalLayer(tileServer) {
  const url = webUrl(tileServer);
  if (!url) return null;
  return new TileLayer({
    source: new WMTS({
      url,
      layer: 'NGII_EMAP',
      matrixSet: 'nativeTileMatrixSet',
      format: 'image/png',
      style: '_null',
      requestEncoding: 'KVP',
      projection: MAP_PROJECTION,
      wrapX: false,
      attributions: '© 국토지리정보원',
      tileGrid: new WMTSTileGrid({
        origin: [MAP_EXTENT[0], MAP_EXTENT[3]],
        extent: MAP_EXTENT,
        resolutions: RESOLUTIONS,
        matrixIds: MATRIX_IDS,
        tileSize: 256,
      }),
    }),
  });
}

function xyzLayer(tileUrl) {
  const url = webUrl(tileUrl);
  if (!url) return null;
  return new TileLayer({
    source: new XYZ({ url, attributions: '© OpenStreetMap contributors' }),
  });
}

// options: { baseMap: 0 national WMTS, 1 XYZ; tileServer; tileUrl }.
// Null when the chosen base map has no usable address: the page then shows
// its background under the markers.
export function createBaseLayer(options) {
  return options.baseMap === 1 ? xyzLayer(options.tileUrl) : nationalLayer(options.tileServer);
}
