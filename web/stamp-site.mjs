// The last step of the web build (web/CMakeLists.txt), run by node on the
// assembled site folder:
//
//   node stamp-site.mjs SITE_DIR SERVICE_WORKER_TEMPLATE
//
// 1. site.js: the size of every file of the site, for the page's loading bar
//    (a server that compresses sends the compressed length, which the bar
//    must not count against).
// 2. service-worker.js: the template with SITE filled in: every file with its
//    SHA-256 and a version, the hash of them all. A new build is thus a new
//    worker script and a new cache name; an unchanged one is byte for byte
//    the same worker, which the browser leaves alone.
// 3. NAME.gz and NAME.br beside each file that compresses, for servers that
//    send a precompressed file as such (nginx's gzip_static, brotli_static,
//    scripts/serve-web.sh).
//
// The test that a new build replaces the old cache runs it on a copy of the
// site with one file changed.
import crypto from 'node:crypto';
import fs from 'node:fs';
import path from 'node:path';
import zlib from 'node:zlib';

const COMPRESSED = /\.(gz|br)$/;
const GENERATED = new Set(['site.js', 'service-worker.js']);
const COMPRESSIBLE = /\.(html|js|css|wasm|data|webmanifest|json|svg)$/;

export function stampSite(site, template) {
  const names = fs.readdirSync(site).filter((n) => fs.statSync(path.join(site, n)).isFile()
    && !COMPRESSED.test(n) && !GENERATED.has(n)).sort();
  for (const n of fs.readdirSync(site)) if (COMPRESSED.test(n)) fs.rmSync(path.join(site, n));

  const sizes = Object.fromEntries(names.map((n) => [n, fs.statSync(path.join(site, n)).size]));
  fs.writeFileSync(path.join(site, 'site.js'), `// Written by the build (stamp-site.mjs): the size in bytes of each file of the site.\nexport const SITE_SIZES = ${JSON.stringify(sizes, null, 2)};\n`);

  const hash = (n) => crypto.createHash('sha256').update(fs.readFileSync(path.join(site, n))).digest('hex');
  const files = Object.fromEntries([...names, 'site.js'].sort().map((n) => [n, hash(n)]));
  const version = crypto.createHash('sha256').update(JSON.stringify(files)).digest('hex').slice(0, 16);
  const source = fs.readFileSync(template, 'utf8');
  const placeholder = /^const SITE = null;.*$/m;
  if (!placeholder.test(source)) throw new Error(`${template}: no "const SITE = null;" line to fill in`);
  const worker = source.replace(placeholder, () => `const SITE = ${JSON.stringify({ version, files })};`);
  fs.writeFileSync(path.join(site, 'service-worker.js'), worker);

  for (const n of [...names, 'site.js', 'service-worker.js']) {
    if (!COMPRESSIBLE.test(n)) continue;
    const plain = fs.readFileSync(path.join(site, n));
    const gz = zlib.gzipSync(plain, { level: 9 });
    const br = zlib.brotliCompressSync(plain, { params: {
      [zlib.constants.BROTLI_PARAM_QUALITY]: 11, [zlib.constants.BROTLI_PARAM_SIZE_HINT]: plain.length } });
    // Only where it saves something worth a second file.
    if (gz.length < plain.length * 0.9 && plain.length > 1024) fs.writeFileSync(path.join(site, `${n}.gz`), gz);
    if (br.length < plain.length * 0.9 && plain.length > 1024) fs.writeFileSync(path.join(site, `${n}.br`), br);
  }
  return { version, files };
}

if (process.argv[1] && path.resolve(process.argv[1]) === path.resolve(new URL(import.meta.url).pathname)) {
  const [site, template] = process.argv.slice(2);
  if (!site || !template) {
    console.error('usage: node stamp-site.mjs SITE_DIR SERVICE_WORKER_TEMPLATE');
    process.exit(2);
  }
  const { version, files } = stampSite(site, template);
  console.log(`site ${site}: ${Object.keys(files).length} files, version ${version}`);
}
