// Bundles the page script with its libraries and their CSS into one HTML
// file. Usage:
//   node build.mjs NODE_MODULES OUT_FILE DEFAULT_TILE_SERVER DEFAULT_TILE_URL
import { createHash } from 'node:crypto';
import { readFile, writeFile } from 'node:fs/promises';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';

const [nodeModules, outFile, tileServer, tileUrl] = process.argv.slice(2);
if (!nodeModules || !outFile || tileServer === undefined || tileUrl === undefined) {
  console.error('usage: node build.mjs NODE_MODULES OUT_FILE DEFAULT_TILE_SERVER DEFAULT_TILE_URL');
  process.exit(2);
}
const here = dirname(fileURLToPath(import.meta.url));
const esbuild = await import(pathToFileURL(join(resolve(nodeModules), 'esbuild', 'lib', 'main.js')).href);

const result = await esbuild.build({
  entryPoints: [join(here, 'main.js')],
  bundle: true,
  minify: true,
  write: false,
  format: 'iife',
  target: ['chrome102'],
  nodePaths: [resolve(nodeModules)],
  legalComments: 'eof',
  charset: 'utf8',
  logLevel: 'warning',
  define: {
    DEFAULT_TILE_SERVER: JSON.stringify(tileServer),
    DEFAULT_TILE_URL: JSON.stringify(tileUrl),
  },
});
const script = result.outputFiles[0].text;
// The script goes into the page as it is: it must not end the script element
// early nor open an HTML comment inside it.
if (/<\/script|<!--/i.test(script)) {
  console.error('build.mjs: the bundle contains "</script" or "<!--"');
  process.exit(1);
}
const hash = createHash('sha256').update(script, 'utf8').digest('base64');
const template = await readFile(join(here, 'page.html'), 'utf8');
const page = template
  .replace('@SCRIPT_HASH@', () => `'sha256-${hash}'`)
  .replace('@SCRIPT@', () => `<script>${script}</script>`);
await writeFile(outFile, page);
