// The mountpoint markers: one marker per group of mountpoints, and the
// group's pop-up list in which mountpoints are ticked.
import Feature from 'ol/Feature.js';
import Overlay from 'ol/Overlay.js';
import Point from 'ol/geom/Point.js';
import VectorLayer from 'ol/layer/Vector.js';
import VectorSource from 'ol/source/Vector.js';
import { Icon, Style } from 'ol/style.js';
import { transform } from 'ol/proj.js';
import { guarded } from './guarded.js';
import { MAP_PROJECTION, POSITION_PROJECTION } from './projections.js';

const TICKED = 1;

// ABCD_1, ABCD-2 and ABCD all belong to group ABCD: the part before the first
// "_", else the part before the first "-", else the whole name.
export function groupName(name) {
  for (const separator of ['_', '-']) {
    const at = name.indexOf(separator);
    if (at >= 0) return name.slice(0, at);
  }
  return name;
}

function imageFile(typ) {
  return `./mark${typ}.png`;
}

const styles = new Map();
function markerStyle(typ) {
  if (!styles.has(typ)) {
    styles.set(typ, new Style({
      image: new Icon({ src: imageFile(typ), width: 21, height: 25, anchor: [0.5, 1] }),
    }));
  }
  return styles.get(typ);
}

export class MarkGroups {
  // onTick(name, typ) is called after the user ticked or unticked a
  // mountpoint in a pop-up; typ carries the new ticked bit.
  constructor(map, onTick) {
    this.map = map;
    this.onTick = onTick;
    this.groups = new Map();  // group name -> { feature, items: [{ name, typ }] }
    this.clicksEnabled = true;
    this.popup = null;        // { overlay, group, lines: Map(name -> line element) }
    this.source = new VectorSource();
    map.addLayer(new VectorLayer({ source: this.source, zIndex: 10 }));
  }

  clear() {
    this.closePopup();
    this.source.clear();
    this.groups.clear();
  }

  add(lat, lon, name, typ) {
    if (!Number.isFinite(lat) || !Number.isFinite(lon) || lat === 0 || lon === 0) return;
    const key = groupName(name);
    const group = this.groups.get(key);
    if (group) {
      group.items.push({ name, typ });
      return;
    }
    const feature = new Feature(new Point(transform([lon, lat], POSITION_PROJECTION, MAP_PROJECTION)));
    feature.setStyle(markerStyle(typ));
    feature.set('group', key);
    this.source.addFeature(feature);
    this.groups.set(key, { feature, items: [{ name, typ }] });
  }

  // Sets or clears the ticked bit of the mountpoint; the group's marker then
  // shows its first ticked member, or its last member when none is ticked.
  update(name, checked) {
    const group = this.groups.get(groupName(name));
    if (!group) return;
    let member = false;
    for (const item of group.items) {
      if (item.name !== name) continue;
      member = true;
      item.typ = checked ? item.typ | TICKED : item.typ & ~TICKED;
      if (this.popup && this.popup.group === group) this.fillLine(this.popup.lines.get(name), item);
    }
    // A name that is not on the map (no position) leaves its group's marker.
    if (!member) return;
    let shown = group.items[0].typ;
    for (const item of group.items) {
      shown = item.typ;
      if (item.typ & TICKED) break;
    }
    group.feature.setStyle(markerStyle(shown));
  }

  // Opens the pop-up of the group whose marker is at the pixel, if any.
  openAt(pixel) {
    const feature = this.map.forEachFeatureAtPixel(pixel, (f) => f,
      { layerFilter: (layer) => layer.getSource() === this.source });
    if (feature) this.openPopup(this.groups.get(feature.get('group')), feature);
  }

  openPopup(group, feature) {
    this.closePopup();
    const element = document.createElement('div');
    element.className = 'mark-popup';
    const close = document.createElement('div');
    close.className = 'mark-popup-close';
    close.textContent = '×';
    close.addEventListener('click', guarded(() => this.closePopup()));
    const content = document.createElement('div');
    content.className = 'mark-popup-content';
    const lines = new Map();
    for (const item of group.items) {
      const line = document.createElement('div');
      line.className = 'mark-line';
      line.id = `${item.name}_select`;
      line.appendChild(document.createElement('img'));
      line.appendChild(document.createTextNode(item.name));
      this.fillLine(line, item);
      line.addEventListener('click', guarded(() => this.lineClicked(item.name, line)));
      lines.set(item.name, line);
      content.appendChild(line);
    }
    element.append(close, content);
    const overlay = new Overlay({
      element,
      position: feature.getGeometry().getCoordinates(),
      positioning: 'bottom-center',
      offset: [0, -27],
      stopEvent: true,
      autoPan: { animation: { duration: 200 }, margin: 10 },
    });
    this.map.addOverlay(overlay);
    this.popup = { overlay, group, lines };
  }

  fillLine(line, item) {
    if (!line) return;
    line.setAttribute('typ', String(item.typ));
    const image = line.firstChild;
    image.src = imageFile(item.typ);
    image.setAttribute('typ', String(item.typ));
  }

  lineClicked(name, line) {
    if (!this.clicksEnabled) return;
    const typ = Number(line.getAttribute('typ')) ^ TICKED;
    this.update(name, typ & TICKED);
    this.onTick(name, typ);
  }

  closePopup() {
    if (!this.popup) return;
    this.map.removeOverlay(this.popup.overlay);
    this.popup = null;
  }
}
