// Every entry into the page's code catches its errors and reports them with
// alert(), which the host application suppresses: a failing call has no
// visible effect and leaves the page working.
export function guarded(fn) {
  return function (...args) {
    try {
      return fn.apply(this, args);
    } catch (error) {
      try {
        window.alert(String(error && error.message ? error.message : error));
      } catch {
        // nothing more to do
      }
      return undefined;
    }
  };
}
