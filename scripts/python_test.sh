#!/usr/bin/env bash
# The Python module as a user installs it: `pip install .` into a virtual environment that sees Debian's
# packages (nothing is downloaded), then the notebook executed with it, so that neither can rot.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"
python=/usr/bin/python3 # as the main build
venv="$BUILD_DIR/python-venv"
rm -rf "$venv" "$ROOT/build/setuptools"
"$python" -m venv --system-site-packages "$venv"
(cd "$ROOT" && "$venv/bin/pip" install --no-build-isolation --no-index -q .)
# Away from the source tree, so that the installed copy is the one imported.
(cd "$BUILD_DIR" && "$venv/bin/python" -c 'import korvane_energy as k; r = k.calculate(); print(r); assert str(r) == "69%"')
# The notebook's kernel is the first python3 on PATH: the environment's.
PATH="$venv/bin:$PATH" PYDEVD_DISABLE_FILE_VALIDATION=1 "$venv/bin/python" -m nbconvert --to notebook --execute \
    --output-dir "$BUILD_DIR/notebooks" "$ROOT/docs/notebooks/building-stock.ipynb"
