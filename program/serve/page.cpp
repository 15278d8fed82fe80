#include "page.h"

#include <array>

namespace tovra::serve {
namespace {

constexpr std::string_view kIndexHtml = R"html(<!DOCTYPE html>
<html lang="ja">
<head>
<meta charset="utf-8">
<meta name="viewport" content="width=device-width, initial-scale=1">
<title>TOVRA 郵便番号・市外局番検索</title>
<link rel="stylesheet" href="/app.css">
</head>
<body>
<h1>郵便番号・住所・市外局番</h1>
<form id="search">
  <input id="q" name="q" type="search" autofocus placeholder="060-0001、札幌+中央、0153、13101、港区芝2-10-2"
         aria-label="検索語">
  <select id="mode" name="mode" aria-label="検索方法">
    <option value="auto">自動</option>
    <option value="postcode">郵便番号</option>
    <option value="address">住所・事業者名</option>
    <option value="areacode">市外局番・電話番号・MA名</option>
    <option value="dantai">団体コード</option>
    <option value="resolve">住所の解決</option>
  </select>
  <label><input id="business" name="business" type="checkbox" value="1">事業所も</label>
  <button type="submit">検索</button>
</form>
<p id="status" role="status"></p>
<table id="rows" hidden>
  <thead><tr><th>郵便番号</th><th>住所</th><th>読み</th><th>事業者名</th><th>MA名</th><th>市外局番</th></tr></thead>
  <tbody></tbody>
</table>
<p class="note">自動: 7 桁は郵便番号、0 で始まる数字は市外局番・電話番号、5 桁は団体コード、市区町村名に続きのある住所
（「大阪府高槻市奈佐原２丁目１－２」）は住所の解決、ほかは住所（どこかに含む）。「札幌+中央」は両方を含む行。データはこのサービスが読み込んだ KEN_ALL.CSV / JIGYOSYO.CSV です。</p>
<script src="/app.js"></script>
</body>
</html>
)html";

constexpr std::string_view kAppJs = R"js("use strict";
// The page's one job: turn what was typed into a request of the service and show the rows.
const form = document.getElementById("search");
const input = document.getElementById("q");
const mode = document.getElementById("mode");
const business = document.getElementById("business");
const statusLine = document.getElementById("status");
const table = document.getElementById("rows");

// Full-width digits and dashes as ASCII, the postal mark and blanks left out.
function plain(text) {
  return text.replace(/[０-９]/g, (d) => String.fromCharCode(d.charCodeAt(0) - 0xFEE0))
             .replace(/[－‐―−ーｰ]/g, "-").replace(/[〒\s　]/g, "");
}

function guessMode(text) {
  const t = plain(text);
  if (/^\d{3}-?\d{4}$/.test(t)) return "postcode";
  if (/^0[\d-]+$/.test(t)) return "areacode";
  if (/^[1-9]\d{4}$/.test(t)) return "dantai";
  // A written address: a city, ward, town or village name with more after it, no "+" of words.
  if (!t.includes("+") && /[市区町村郡].+/.test(t)) return "resolve";
  return "address";
}

const levelText = ["解決できません", "都道府県まで", "市区町村まで", "町域まで", "1 件に決定"];

// One line on what the resolution found: the level, postal code, address, MA and what was left.
function describe(r) {
  let text = "レベル " + r.level + "（" + levelText[Number(r.level)] + "）";
  if (r.postcode) text += " 〒" + r.postcode.slice(0, 3) + "-" + r.postcode.slice(3);
  text += " " + r.prefecture + r.city + r.town;
  if (r.candidates) text += " 候補: " + r.candidates;
  if (r.maName) text += " MA: " + r.maName + " " + r.areaCodes;
  if (r.rest) text += " 残り: " + r.rest;
  if (r.note) text += "（" + r.note + "）";
  return text;
}

// The rows of the resolved record (level 4) or of every candidate record of the town (level 3).
async function resolutionRows(r) {
  const codes = r.level === "4" ? [r.postcode] : r.level === "3" ? r.candidates.split(" ").slice(0, 20) : [];
  const rows = [];
  for (const code of codes) {
    const p = new URLSearchParams({ code: code });
    if (business.checked) p.set("business", "1");
    const response = await fetch("/api/postcode?" + p.toString());
    if (response.ok) rows.push(...((await response.json()).rows || []));
  }
  // A postal code shared by several towns: the record's own town when it is among them.
  const own = rows.filter((row) => row.town === r.town);
  return r.level === "4" && own.length > 0 ? own : rows;
}

function requestFor(text, how) {
  const p = new URLSearchParams();
  if (business.checked) p.set("business", "1");
  switch (how) {
    case "postcode": p.set("code", text); break;
    case "address": p.set("q", text); p.set("match", "contains"); break;
    case "areacode": p.set("key", text); break;
    case "dantai": p.set("code", text); break;
    case "resolve": p.set("address", text); break;
  }
  return "/api/" + how + "?" + p.toString();
}

function cell(row, text) {
  const td = document.createElement("td");
  td.textContent = text;
  row.appendChild(td);
}

function show(rows) {
  const body = table.tBodies[0];
  body.replaceChildren();
  for (const r of rows) {
    const tr = document.createElement("tr");
    cell(tr, r.postcode);
    cell(tr, r.prefecture + r.city + r.town);
    cell(tr, r.prefectureKana + " " + r.cityKana + " " + r.townKana);
    cell(tr, r.business);
    cell(tr, r.maName);
    cell(tr, r.areaCodes);
    body.appendChild(tr);
  }
  table.hidden = rows.length === 0;
}

async function search(text) {
  const how = mode.value === "auto" ? guessMode(text) : mode.value;
  statusLine.textContent = "検索中…";
  try {
    const response = await fetch(requestFor(text, how));
    const data = await response.json();
    if (!response.ok) {
      show([]);
      statusLine.textContent = data.error ? data.error.message : "HTTP " + response.status;
      return;
    }
    if (how === "resolve") {
      const r = data.resolutions[0];
      show(await resolutionRows(r));
      statusLine.textContent = describe(r);
      return;
    }
    const rows = data.rows || [];
    show(rows);
    const notes = (data.messages || []).join(" ");
    statusLine.textContent = rows.length + " 件" + (notes ? "（" + notes + "）" : "");
  } catch (e) {
    show([]);
    statusLine.textContent = "サービスに接続できません: " + e.message;
  }
}

form.addEventListener("submit", (event) => {
  event.preventDefault();
  if (input.value.trim() === "") return;
  const url = new URL(location.href);
  url.searchParams.set("q", input.value);
  url.searchParams.set("mode", mode.value);
  history.replaceState(null, "", url);
  search(input.value);
});

// A link with ?q=...&mode=... searches at once.
const start = new URLSearchParams(location.search);
if (start.get("mode")) mode.value = start.get("mode");
if (start.get("business") === "1") business.checked = true;
if (start.get("q")) {
  input.value = start.get("q");
  search(input.value);
}
)js";

constexpr std::string_view kAppCss = R"css(body { font-family: sans-serif; margin: 1.5em; }
form { display: flex; gap: .5em; flex-wrap: wrap; align-items: center; }
#q { flex: 1 1 20em; font-size: 1.1em; padding: .3em; }
table { border-collapse: collapse; margin-top: .5em; }
th, td { border: 1px solid #bbb; padding: .2em .5em; text-align: left; vertical-align: top; }
th { background: #eee; }
.note { color: #555; font-size: .9em; }
)css";

constexpr std::array kAssets = {
    Asset{"/", "text/html; charset=utf-8", kIndexHtml},
    Asset{"/app.js", "text/javascript; charset=utf-8", kAppJs},
    Asset{"/app.css", "text/css; charset=utf-8", kAppCss},
};

}  // namespace

const Asset* FindAsset(std::string_view path) {
  for (const Asset& a : kAssets) {
    if (a.path == path) return &a;
  }
  return nullptr;
}

}  // namespace tovra::serve
