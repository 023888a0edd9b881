// The way to the host application: the object it installs as
// window.external through its web channel.

// Connects to the host's web channel when the page runs inside the
// application; `onConnected` runs once the host object is in place.
export function connectHost(onConnected) {
  const transport = window.qt && window.qt.webChannelTransport;
  if (!transport) return;
  const script = document.createElement('script');
  script.src = 'qrc:///qtwebchannel/qwebchannel.js';
  script.onload = () => {
    // eslint-disable-next-line no-undef
    new QWebChannel(transport, (channel) => {
      window.external = channel.objects.host;
      onConnected();
    });
  };
  document.head.appendChild(script);
}

function hostMethod(name) {
  const host = window.external;
  return host && typeof host[name] === 'function' ? host[name].bind(host) : null;
}

export function reportView(zoom, northing, easting) {
  const call = hostMethod('UpdateMap');
  if (call) call(zoom, northing, easting);
}

export function reportMark(name, typ) {
  const call = hostMethod('UpdateMark');
  if (call) call(name, typ);
}
