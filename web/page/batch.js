// The page's batch run, in a Web Worker so that the page stays usable: the calculator's batch engine reads the
// chosen file piece by piece and hands the result back piece by piece, with how much of the file it has read.
// The same engine reads a chosen site file into the page's list, which the page takes over as it is.
import createKorvaneBatch from './korvane-batch.js';

const engine = createKorvaneBatch();

onmessage = async ({ data: { file, language, sites } }) => {
  const core = await engine;
  const reader = new FileReaderSync();
  if (sites) {
    const packed = core.readSites(sites.name, sites.size, () => new Uint8Array(reader.readAsArrayBuffer(sites)),
      language);
    postMessage({ sites: packed }, packed.unhandled ? [] : [packed.names.buffer, packed.numbers.buffer]);
    return;
  }
  let at = 0;
  const read = (most) => {
    const piece = new Uint8Array(reader.readAsArrayBuffer(file.slice(at, at + most)));
    at += piece.length;
    return piece;
  };
  const write = (view) => {
    const piece = view.slice();
    postMessage({ piece, read: file.size ? at / file.size : 1 }, [piece.buffer]);
  };
  postMessage({ summary: core.runBatch(read, file.size, write, language) });
};
