// SPDX-License-Identifier: GPL-3.0-or-later
// The npm package @ham2k/lib-qson-cabrillo, read the way its README shows,
// for bench/cabrillo-peer-bench. PEER_DIR is where it is installed.
//   node cabrillo-peer.js parse LOG         prints the number of contacts
//   node cabrillo-peer.js compare DUMP LOG  compares each contact's call
//                                           with adif-dump's reading
const fs = require('fs')
const path = require('path')
const { execFileSync } = require('child_process')
const { cabrilloToQSON } = require(require.resolve('@ham2k/lib-qson-cabrillo', { paths: [process.env.PEER_DIR] }))

const [mode, a, b] = process.argv.slice(2)
if (mode === 'parse') {
  const qson = cabrilloToQSON(fs.readFileSync(a, 'utf8'))
  console.log(qson.qsos.length)
} else if (mode === 'compare') {
  const qson = cabrilloToQSON(fs.readFileSync(b, 'utf8'))
  const ours = execFileSync(a, [b], { maxBuffer: 1 << 28 }).toString().split('\n')
    .filter((l) => l.startsWith('{"Year"')).map((l) => JSON.parse(l).fields)
  // The package sorts by time; compare the calls as sets of counts.
  const count = (calls) => calls.reduce((m, c) => m.set(c, (m.get(c) || 0) + 1), new Map())
  const theirs = count(qson.qsos.map((q) => q.their.call))
  const mine = count(ours.map((f) => f.CALL.toUpperCase()))
  let differ = 0
  for (const [call, n] of mine) differ += Math.max(0, n - (theirs.get(call) || 0))
  const noTx = qson.qsos.filter((q) => Number.isNaN(q.our.transmitter)).length
  console.log(`${path.basename(b)}: ours ${ours.length} theirs ${qson.qsos.length} (+${qson.qsosOther.length} X-QSO); ` +
              `calls that differ ${differ}; transmitter NaN ${noTx}`)
}
