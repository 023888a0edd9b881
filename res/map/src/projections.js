// The two coordinate systems of the page: WGS84 for the positions the host
// gives, and the Korean TM (EPSG:5179) in which the map is drawn.
import proj4 from 'proj4';
import { register } from 'ol/proj/proj4.js';
import { get as getProjection } from 'ol/proj.js';

export const MAP_PROJECTION = 'EPSG:5179';
export const POSITION_PROJECTION = 'WGS84';

// (minimum easting, minimum northing, maximum easting, maximum northing)
export const MAP_EXTENT = [-200000, 977075.0126167308, 2843715.5189921437, 4000000];

proj4.defs(POSITION_PROJECTION, '+proj=longlat +ellps=WGS84 +datum=WGS84 +no_defs');
proj4.defs(MAP_PROJECTION,
  '+proj=tmerc +lat_0=38 +lon_0=127.5 +k=0.9996 +x_0=1000000 +y_0=2000000 ' +
  '+ellps=GRS80 +towgs84=0,0,0,0,0,0,0 +units=m +no_defs');
register(proj4);
getProjection(MAP_PROJECTION).setExtent(MAP_EXTENT);
