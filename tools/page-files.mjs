// web/PageFiles.txt read: one entry a file, in the list's order.
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';

const listPath = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../web/PageFiles.txt');

export function pageFiles() {
  const files = [];
  for (const line of fs.readFileSync(listPath, 'utf8').split('\n')) {
    if (line.trim() === '' || line.startsWith('#')) continue;
    const [, name, offline, single, type] = line.match(/^(\S+)\s+(yes|no)\s+(yes|no)\s+(\S.*?)\s*$/) ||
      (() => { throw new Error(`${listPath}: a line not of four fields: ${line}`); })();
    files.push({name, offline: offline === 'yes', single: single === 'yes', type});
  }
  return files;
}
