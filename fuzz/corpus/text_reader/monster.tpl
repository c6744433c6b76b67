// A template as an editor might leave it, with comments and loose spacing.
Group
{
	name = "All Groups"
	type = "list"

	Variable { name = "Class" class = "static" type = "string" description = "" value = "" defaultValue = "Monster" }
	Group
	{
		name = "Header"
		type = "system"
		Variable
		{
			name = "FileDescription"
			class = "variable"
			type = "string"
			description = "What it is"
			value = "ignored value"
			defaultValue = ""
		}
	}
	Group
	{
		name = "Stats"
		type = list
		Variable
		{
			name = "health"
			class = "variable"
			type = "int"
			description = "Hit points"
			defaultValue = 100
		}
		Variable
		{
			name = "resist"
			class = "array"
			type = "real"
			description = "Resistances"
			defaultValue = "0.5;1"
		}
	}
}
/* history of earlier names */
fileNameHistoryEntry
{
	"Database\Templates\OldMonster.tpl"
}
