// The map page: the base map in EPSG:5179, the mountpoint markers, and the
// functions the host application calls (ClearMarks, AddMark, UpdateMark,
// EnableMark, MoveMap). The page tells the host where the map was moved
// (UpdateMap) and which mountpoint the user ticked (UpdateMark).
//
// Query parameters of the page address: baseMap (0 national WMTS, 1 XYZ),
// tileServer (WMTS base URL), tileUrl (XYZ URL template with {z}, {x}, {y}),
// and zoom, lat, lon for the initial view (northing and easting in metres).
import olCss from 'ol/ol.css' with { type: 'text' };
import Map from 'ol/Map.js';
import View from 'ol/View.js';
import { defaults as defaultControls } from 'ol/control/defaults.js';
import { defaults as defaultInteractions } from 'ol/interaction/defaults.js';
import { MAP_PROJECTION } from './projections.js';
import { RESOLUTIONS, createBaseLayer } from './base_layers.js';
import { MarkGroups } from './marks.js';
import { connectHost, reportMark, reportView } from './host.js';
import { guarded } from './guarded.js';

const INITIAL_CENTER = [989862.64050019, 1827768.3262193];

function pageOptions() {
  const query = new URLSearchParams(window.location.search);
  const number = (name, fallback) => {
    const value = query.has(name) ? Number(query.get(name)) : NaN;
    return Number.isFinite(value) ? value : fallback;
  };
  return {
    baseMap: number('baseMap', 0),
    tileServer: query.has('tileServer') ? query.get('tileServer') : DEFAULT_TILE_SERVER,
    tileUrl: query.has('tileUrl') ? query.get('tileUrl') : DEFAULT_TILE_URL,
    zoom: number('zoom', 0),
    center: [number('lon', INITIAL_CENTER[0]), number('lat', INITIAL_CENTER[1])],
  };
}

function startPage() {
  const style = document.createElement('style');
  style.textContent = olCss;
  document.head.appendChild(style);

  const options = pageOptions();
  const view = new View({
    projection: MAP_PROJECTION,
    center: options.center,
    resolutions: RESOLUTIONS,
    zoom: options.zoom,
    constrainResolution: true,
  });
  const baseLayer = createBaseLayer(options);
  const map = new Map({
    target: 'map',
    layers: baseLayer ? [baseLayer] : [],
    view,
    controls: defaultControls({ zoom: false, rotate: false, attribution: true }),
    interactions: defaultInteractions({ altShiftDragRotate: false, pinchRotate: false }),
  });

  const tellView = () => {
    const center = view.getCenter();
    const zoom = view.getZoom();
    if (!center || !Number.isFinite(zoom)) return;
    reportView(Math.round(zoom), Math.floor(center[1]), Math.floor(center[0]));
  };
  const marks = new MarkGroups(map, (name, typ) => reportMark(name, typ));

  map.on('click', guarded((event) => {
    marks.closePopup();
    marks.openAt(event.pixel);
    tellView();
  }));
  // A zoom ends with a move end as well.
  map.on('moveend', guarded(tellView));

  window.ClearMarks = guarded(() => marks.clear());
  window.AddMark = guarded((lat, lon, key, msg, typ) => {
    marks.add(Number(lat), Number(lon), String(key), Number(typ) | 0);
  });
  window.UpdateMark = guarded((key, checked) => marks.update(String(key), Boolean(Number(checked))));
  window.EnableMark = guarded((enabled) => {
    marks.clicksEnabled = Boolean(Number(enabled));
  });
  window.MoveMap = guarded((zoom, latitude, longitude) => {
    const center = [Number(longitude), Number(latitude)];
    if (!Number.isFinite(Number(zoom)) || !center.every(Number.isFinite)) {
      throw new Error('MoveMap: not a position');
    }
    view.setCenter(center);
    view.setZoom(Number(zoom));
  });

  connectHost(guarded(tellView));
}

guarded(startPage)();
