#!/usr/bin/env python3
"""Writes the page's files into their folder and the same page as one self-contained HTML file.

The page's index.html carries the texts it shows when the engine cannot load (from the string table, as the
engine itself is what failed); the one-file page inlines the style sheet, the engine as a classic script
with its WebAssembly inside, the batch worker's engine and script as text for a worker of its own, and the
page's script run as a classic script, so that it opens from disk.
"""
import argparse
import csv
import json
import pathlib
import shutil
import sys

LANGUAGES = ['de', 'en', 'fr', 'it', 'nl', 'es']
# The texts the page needs before its engine is there, by their id in the string table.
EARLY_TEXTS = ['pageEngineMissing']
STYLE_LINK = '<link rel="stylesheet" href="style.css">'
MODULE_TAG = '<script type="module" src="app.js" onerror="engineMissing()"></script>'
ENGINE_IMPORT = "import createKorvane from './korvane.js';\n"
# The batch worker: beside the page a module of its own, in the one-file page a classic script from the
# page's own text.
BATCH_WORKER = "const BATCH_WORKER = { url: 'batch.js', type: 'module' };"
BATCH_SINGLE = ("const BATCH_WORKER = { url: URL.createObjectURL(new Blob([document.getElementById('batchWorker')"
                ".textContent], { type: 'text/javascript' })), type: 'classic' };")
BATCH_IMPORT = "import createKorvaneBatch from './korvane-batch.js';\n"


def early_texts(tsv):
    with open(tsv, encoding='utf-8', newline='') as table:
        rows = {row[0]: row[1:] for row in csv.reader(table, delimiter='\t', quoting=csv.QUOTE_NONE)}
    return {id: dict(zip(LANGUAGES, rows[id])) for id in EARLY_TEXTS}


def replace_once(text, old, new, what):
    if text.count(old) != 1:
        sys.exit(f'make_page.py: {what} is not in the page exactly once: {old}')
    return text.replace(old, new)


def inline_script(code):
    # Only a closing tag could end the element early; in JavaScript "<\/" reads as "</".
    return '<script>\n' + code.replace('</script', '<\\/script') + '\n</script>'


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--source', required=True, type=pathlib.Path)
    parser.add_argument('--texts', required=True)
    parser.add_argument('--engine', required=True, type=pathlib.Path)
    parser.add_argument('--batch-engine', required=True, type=pathlib.Path)
    parser.add_argument('--page', required=True, type=pathlib.Path)
    parser.add_argument('--single', required=True, type=pathlib.Path)
    args = parser.parse_args()

    html = (args.source / 'index.html').read_text(encoding='utf-8')
    html = replace_once(html, '@EARLY_TEXTS@', json.dumps(early_texts(args.texts), ensure_ascii=False),
                        'the early texts')
    app = (args.source / 'app.js').read_text(encoding='utf-8')
    style = (args.source / 'style.css').read_text(encoding='utf-8')

    args.page.mkdir(parents=True, exist_ok=True)
    (args.page / 'index.html').write_text(html, encoding='utf-8')
    shutil.copyfile(args.source / 'app.js', args.page / 'app.js')
    shutil.copyfile(args.source / 'style.css', args.page / 'style.css')
    shutil.copyfile(args.source / 'batch.js', args.page / 'batch.js')

    # The page's script without its import, in an async function: the engine's classic script defines
    # createKorvane, and the script's awaits stay as they are.
    app = replace_once(app, ENGINE_IMPORT, '', 'the engine import')
    app = replace_once(app, BATCH_WORKER, BATCH_SINGLE, 'the batch worker')
    worker = args.batch_engine.read_text(encoding='utf-8') + '\n' + replace_once(
        (args.source / 'batch.js').read_text(encoding='utf-8'), BATCH_IMPORT, '', 'the batch engine import')
    single = replace_once(html, STYLE_LINK, '<style>\n' + style + '</style>', 'the style sheet link')
    single = replace_once(single, MODULE_TAG,
                          inline_script(worker).replace('<script>', '<script type="text/plain" id="batchWorker">', 1)
                          + '\n' + inline_script(args.engine.read_text(encoding='utf-8')) + '\n' +
                          inline_script('(async () => {\n' + app + '})();'), 'the module script')
    args.single.write_text(single, encoding='utf-8')


if __name__ == '__main__':
    main()
