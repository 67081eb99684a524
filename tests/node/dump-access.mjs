// Prints every table of an Access file as read by mdb-reader, one JSON
// object a line: {"table": name, "columns": [...], "rows": [[...], ...]}.
// Numbers keep every bit (JSON's shortest round-trip form), NULLs are null.
import MDBReader from "mdb-reader";
import { readFileSync } from "fs";

const reader = new MDBReader(readFileSync(process.argv[2]));
for (const name of reader.getTableNames()) {
  const table = reader.getTable(name);
  const columns = table.getColumnNames();
  const rows = table.getData().map((row) => columns.map((c) => row[c]));
  process.stdout.write(JSON.stringify({ table: name, columns, rows }) + "\n");
}
