// A static host for the browser tests and the benchmark: a folder on
// 127.0.0.1, each file of the page answered with the type the page's list
// gives it, as any static host would be set up to; the tests' own files by
// their endings.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import {pageFiles} from '../../tools/page-files.mjs';

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.svg': 'image/svg+xml',
  '.txt': 'text/plain; charset=utf-8',
};
for (const {name, type} of pageFiles()) kTypes[path.extname(name)] = type;

export function startServer(root, port = 0) {
  const base = path.resolve(root);
  const server = http.createServer((request, response) => {
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://localhost').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(base, path.normalize(name));
    // Nothing outside the served folder, whatever the request spells.
    if (file !== base && !file.startsWith(base + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, data) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      const type = kTypes[path.extname(file).toLowerCase()] || 'application/octet-stream';
      response.writeHead(200, {'Content-Type': type, 'Cache-Control': 'no-store'});
      response.end(data);
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const address = server.address();
      resolve({
        url: `http://127.0.0.1:${address.port}/`,
        close: () => new Promise((done) => {
          server.closeAllConnections();
          server.close(done);
        }),
      });
    });
  });
}
